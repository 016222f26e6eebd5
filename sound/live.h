// Sound heard as the game plays: the game's events and the keys' clicks wait in lock-free
// queues until the device's own thread takes them and mixes the next stretch of samples.
#pragma once

#include <atomic>
#include <functional>

#include "sound/event_queue.h"
#include "sound/mixer.h"

namespace gs {

class LiveSound : public SoundSink {
public:
    explicit LiveSound(int rate = SAMPLE_RATE) : mixer_(rate) {}

    /// The game's thread: hands the event over and wakes the device (see `onEvent`).
    void play(const SoundEvent& e) override;
    /// The window's thread or the page: a soft click for a key, when clicks are on.
    void keyClick();
    void setKeyClicks(bool on) { clicks_.store(on, std::memory_order_relaxed); }
    bool keyClicks() const { return clicks_.load(std::memory_order_relaxed); }

    /// Called after each hand-over, on the thread that handed the event over; it must not
    /// wait either (the desktop device bumps an atomic and wakes its own thread).
    std::function<void()> onEvent;

    /// The device's thread: starts the events waiting and writes the next `frames`
    /// samples; true while anything sounds or waits.
    bool fill(float* out, std::size_t frames);
    /// Any thread: nothing waits and nothing sounds, so the device may rest.
    bool quiet() const {
        return !sounding_.load(std::memory_order_acquire) && game_.empty() && keys_.empty();
    }

private:
    Mixer mixer_;
    EventQueue<1024> game_;
    EventQueue<256> keys_;
    std::atomic<bool> clicks_{false};
    std::atomic<bool> sounding_{false};
};

} // namespace gs
