#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace gs {

namespace {

constexpr double TWO_PI = 6.283185307179586;
/// The followed pitch moves this share of the way to its target each sample: a whistle
/// glides between heights instead of stepping.
constexpr double GLIDE = 0.002;
/// Below this the limiter passes the sum unchanged.
constexpr float KNEE = 0.5f;

double followedHz(const SoundShape& s, std::int32_t value) {
    return std::clamp(s.startHz + value * static_cast<double>(s.hzPerValue), 80.0, 5000.0);
}

} // namespace

double Mixer::followedPitch(Sound s, int value) { return followedHz(shapeOf(s), value); }

float Mixer::limit(float x) {
    const float a = std::fabs(x);
    if (a <= KNEE) return x;
    const float bent = KNEE + (1 - KNEE) * std::tanh((a - KNEE) / (1 - KNEE));
    // tanh reaches 1 in float for large sums; keep a hair below full scale.
    const float y = std::min(bent, 0.9999f);
    return x < 0 ? -y : y;
}

void Mixer::start(const SoundEvent& e) {
    const SoundShape& s = shapeOf(e.sound);
    if (s.hzPerValue > 0) {
        for (Voice& v : voices_) {
            if (!v.on || v.sound != e.sound) continue;
            v.targetHz = followedHz(s, e.value);
            v.at = std::min(v.at, v.attack); // held at full volume while it is steered
            return;
        }
    }
    Voice* slot = nullptr;
    for (Voice& v : voices_)
        if (!v.on) {
            slot = &v;
            break;
        }
    if (!slot) {
        slot = &voices_[0];
        for (Voice& v : voices_)
            if (v.serial < slot->serial) slot = &v;
        --active_;
    }
    Voice& v = *slot;
    v = Voice{};
    v.shape = &s;
    v.sound = e.sound;
    v.on = true;
    v.serial = ++serial_;
    const double ms = e.lengthMs ? e.lengthMs : s.lengthMs;
    v.length = std::max(1.0, ms * rate_ / 1000.0);
    v.attack = std::min(v.length - 1, s.attackMs * rate_ / 1000.0);
    if (s.hzPerValue > 0) {
        v.hz = v.targetHz = followedHz(s, e.value);
    } else {
        v.hz = v.targetHz = s.startHz;
        v.slide = std::pow(static_cast<double>(s.endHz) / s.startHz, 1.0 / v.length);
    }
    // Noise takes its first level at once: a blast is heard from its first sample.
    if (s.wave == Wave::Noise) v.phase = 1;
    v.gain = s.falloff > 0 ? 1.0f / (1.0f + std::max(0, e.value) / s.falloff) : 1.0f;
    // The voice's own noise: seeded from its start order, never from the game's generator.
    v.noise = 0x9E3779B9u ^ static_cast<std::uint32_t>(v.serial * 2654435761u);
    if (v.noise == 0) v.noise = 1;
    ++active_;
}

float Mixer::next(Voice& v) {
    const SoundShape& s = *v.shape;
    double env;
    if (v.at < v.attack) {
        env = v.at / v.attack;
    } else {
        const double left = 1 - (v.at - v.attack) / (v.length - v.attack);
        env = left;
        for (int k = 1; k < s.fall; ++k) env *= left;
    }
    if (s.hzPerValue > 0)
        v.hz += (v.targetHz - v.hz) * GLIDE;
    else
        v.hz *= v.slide;
    v.phase += v.hz / rate_;
    const bool wrapped = v.phase >= 1;
    if (wrapped) v.phase -= std::floor(v.phase);
    float osc = 0;
    switch (s.wave) {
    case Wave::Sine: osc = static_cast<float>(std::sin(TWO_PI * v.phase)); break;
    case Wave::Square: osc = v.phase < 0.5 ? 1.0f : -1.0f; break;
    case Wave::Saw: osc = static_cast<float>(2 * v.phase - 1); break;
    case Wave::Triangle:
        osc = static_cast<float>(v.phase < 0.5 ? 4 * v.phase - 1 : 3 - 4 * v.phase);
        break;
    case Wave::Noise:
        // A new random level at each period of the pitch, smoothed: the pitch sets how
        // bright the noise is, as in the old sound chips.
        if (wrapped) {
            v.noise ^= v.noise << 13;
            v.noise ^= v.noise >> 17;
            v.noise ^= v.noise << 5;
            v.held = static_cast<float>(v.noise) / 2147483648.0f - 1.0f;
        }
        v.low += (v.held - v.low) * s.smooth;
        // The smoothing takes loudness away from a deep rumble; give it back.
        osc = v.low * std::min(3.0f, 1.0f / std::sqrt(s.smooth));
        break;
    }
    v.at += 1;
    if (v.at >= v.length) {
        v.on = false;
        --active_;
    }
    return osc * static_cast<float>(env) * s.volume * v.gain;
}

void Mixer::mix(float* out, std::size_t frames) {
    std::fill(out, out + frames, 0.0f);
    if (active_ == 0) return;
    for (Voice& v : voices_) {
        if (!v.on) continue;
        for (std::size_t i = 0; i < frames && v.on; ++i) out[i] += next(v);
    }
    for (std::size_t i = 0; i < frames; ++i) out[i] = limit(out[i]);
}

} // namespace gs
