// Frames the game's windows show, counted by the observer the benchmarks hand them, and
// how long the last one took.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "frontend/sdl/window.h"

namespace gs::bench {

struct ShownFrames {
    std::atomic<std::uint64_t> count{0};
    std::atomic<std::uint64_t> lastNanos{0};
    FrameObserver observer() {
        return [this](std::chrono::nanoseconds took) {
            lastNanos.store(static_cast<std::uint64_t>(took.count()), std::memory_order_relaxed);
            count.fetch_add(1, std::memory_order_release);
        };
    }
};

inline ShownFrames& shownFrames() {
    static ShownFrames frames;
    return frames;
}
/// Frames shown by every window the benchmarks opened so far.
inline std::uint64_t framesShown() { return shownFrames().count.load(std::memory_order_acquire); }
/// Wall time of the last frame shown, in nanoseconds: from taking the changes to the
/// display's having the pixels (SDL's update returns once the X server has them).
inline std::uint64_t lastPresentNanos() {
    return shownFrames().lastNanos.load(std::memory_order_relaxed);
}

} // namespace gs::bench
