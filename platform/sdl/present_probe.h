// A hidden SDL window that presents a picture the way the game's window does, so that a
// benchmark can measure what showing one frame costs.
#pragma once

#include <memory>
#include <string>

#include "platform/graph.h"

namespace gs {

/// One present of a picture through SDL, as the window's thread does it, on a hidden
/// window: for measuring what showing a frame costs.
class PresentProbe {
public:
    virtual ~PresentProbe() = default;
    /// Copies the picture under its lock into the texture and presents it.
    virtual void present(const Graph& g) = 0;
    /// Null (and `error` set) when no SDL video driver works here.
    static std::unique_ptr<PresentProbe> open(int w, int h, std::string& error);
};
} // namespace gs
