// Counts the benchmarks read: how many frames the game's windows have shown, and how long
// the last one took.
#pragma once

#include <cstdint>

namespace gs {

/// Frames shown by every window of this process so far (a present of a changed part of
/// the picture, or of the whole window when the desktop asked for it).
std::uint64_t framesShown();
/// Wall time of the last frame shown, in nanoseconds: from taking the changes to the
/// display's having the pixels (SDL's update returns once the X server has them).
std::uint64_t lastPresentNanos();

} // namespace gs
