#include "sound/live.h"

namespace gs {

void LiveSound::play(const SoundEvent& e) {
    if (game_.push(e) && onEvent) onEvent();
}

void LiveSound::keyClick() {
    if (!keyClicks()) return;
    if (keys_.push(SoundEvent{0, Sound::KeyClick, 0, 0}) && onEvent) onEvent();
}

bool LiveSound::fill(float* out, std::size_t frames) {
    // Each event starts at the beginning of the stretch that first sees it: the game runs
    // in real time here, and the device's buffer is the only delay.
    while (auto e = game_.pop()) mixer_.start(*e);
    while (auto e = keys_.pop()) mixer_.start(*e);
    mixer_.mix(out, frames);
    const bool more = mixer_.sounding();
    sounding_.store(more, std::memory_order_release);
    return more || !game_.empty() || !keys_.empty();
}

} // namespace gs
