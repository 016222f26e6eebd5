// The desktop's sound device: SDL's audio callback asks for the next samples, and the
// device rests (paused, no wake-ups) while nothing sounds. It knows nothing of the game's
// sounds: whoever opens it hands it the function that fills its buffers.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

union SDL_Event;

namespace gs {

class AudioDevice {
public:
    /// Writes `frames` mono samples (-1..1); true while anything still sounds.
    using Fill = std::function<bool(float* out, std::size_t frames)>;
    /// Nothing sounds and nothing waits: the device may rest.
    using Quiet = std::function<bool()>;

    /// The device, or null when there is none or it fails; silently either way (neither
    /// SDL's nor the sound system's own messages reach standard error).
    static std::unique_ptr<AudioDevice> open(int rate, int bufferFrames, Fill fill, Quiet quiet);
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    /// Any thread, without waiting: something new may sound; the device wakes if it rests.
    void wake();
    void setMuted(bool m) { muted_.store(m, std::memory_order_relaxed); }
    bool muted() const { return muted_.load(std::memory_order_relaxed); }
    int bufferFrames() const { return frames_; }
    /// Called on the window's thread for each other key typed (the keys' clicks); set
    /// before `takeWindowKeys`.
    std::function<void()> onKey;
    /// From now on the window's mute key and clicks reach this device.
    void takeWindowKeys();

private:
    AudioDevice(Fill fill, Quiet quiet) : fill_(std::move(fill)), quiet_(std::move(quiet)) {}
    static void callback(void* self, std::uint8_t* stream, int bytes);
    void steer();

    Fill fill_;
    Quiet quiet_;
    std::uint32_t id_ = 0;
    int frames_ = 0;
    std::atomic<bool> muted_{false};
    std::atomic<bool> stop_{false};
    std::atomic<std::uint32_t> wakes_{0};
    std::thread steering_;
};

/// The mute combination of the game's window: Ctrl+M, a key the game never reads.
/// Called by the window's thread for each key; true when it was the combination (and the
/// sound was muted or unmuted), so the game never sees it.
bool soundKey(const SDL_Event& e);

} // namespace gs
