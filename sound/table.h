// The one table of sounds: each is a waveform or noise, a pitch and its slide, an envelope,
// a length and a volume. The synthesiser renders every sound from its row alone.
#pragma once

#include "sound/sound.h"

namespace gs {

enum class Wave : std::uint8_t { Sine, Square, Saw, Triangle, Noise };

struct SoundShape {
    const char* name;
    Wave wave;
    float startHz, endHz; ///< the pitch slides from one to the other over the length
    float attackMs;       ///< the rise to full volume
    float lengthMs;       ///< the whole sound, attack included
    int fall;             ///< the fall after the attack: (1 - x)^fall, 1 linear, 3 a sharp crack
    float volume;         ///< 0..1 of full scale for one sound alone
    float smooth;         ///< noise only: 1 keeps it bright, near 0 leaves a deep rumble
    float hzPerValue;     ///< > 0: the pitch is startHz + value x this (a height), and each
                          ///< new event of the sound steers the voice already sounding
    float falloff;        ///< > 0: the value is a distance in pixels; at `falloff` half as loud
};

/// The row of `s`.
const SoundShape& shapeOf(Sound s);

/// The sample rate of every rendering, the device's and the WAV file's.
constexpr int SAMPLE_RATE = 48000;

} // namespace gs
