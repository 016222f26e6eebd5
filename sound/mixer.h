// The synthesiser and the mixer: voices rendered from their table rows, summed, and
// limited softly so that any number of sounds at once never goes past full scale.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "sound/table.h"

namespace gs {

class Mixer {
public:
    /// More sounds at once than this and the oldest gives way.
    static constexpr int MAX_VOICES = 32;

    explicit Mixer(int rate = SAMPLE_RATE) : rate_(rate) {}

    /// Starts `e` now (its time is the caller's business). A sound whose pitch follows a
    /// value steers its voice already sounding instead of starting another.
    void start(const SoundEvent& e);
    /// Writes the next `frames` samples (mono, -1..1) into `out`.
    void mix(float* out, std::size_t frames);
    /// Whether any voice still sounds.
    bool sounding() const { return active_ > 0; }
    int voices() const { return active_; }
    int rate() const { return rate_; }

    /// The pitch of a sound whose pitch follows its value (a height), in Hz.
    static double followedPitch(Sound s, int value);

    /// The limiter alone: the identity near silence, bending smoothly towards full scale
    /// and never reaching it.
    static float limit(float x);

private:
    struct Voice {
        const SoundShape* shape = nullptr;
        Sound sound = Sound::GunFire;
        bool on = false;
        std::uint64_t serial = 0; ///< start order, for stealing the oldest
        double at = 0, length = 1, attack = 0;
        double hz = 0, targetHz = 0, slide = 1;
        double phase = 0;
        float gain = 1;
        std::uint32_t noise = 1;
        float held = 0, low = 0;
    };
    float next(Voice& v);

    int rate_;
    int active_ = 0;
    std::uint64_t serial_ = 0;
    std::array<Voice, MAX_VOICES> voices_{};
};

} // namespace gs
