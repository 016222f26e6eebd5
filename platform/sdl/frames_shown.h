// A count the benchmarks read: how many frames the game's windows have shown.
#pragma once

#include <cstdint>

namespace gs {

/// Frames shown by every window of this process so far (a present of a changed part of
/// the picture, or of the whole window when the desktop asked for it).
std::uint64_t framesShown();

} // namespace gs
