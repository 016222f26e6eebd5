// The sound's figures: what mixing a nuclear turn costs one core, and how soon an event is
// heard on the desktop's device.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "game/desktop_sound.h"
#include "sound/live.h"

namespace gs {
namespace {

/// A nuclear turn against the heaviest enemy, as the device hears it: the shot and its
/// whistle, the long blast, eight units destroyed, twenty units answering (six launchers'
/// salvoes among them), both raids and the advance; each at its time, in ms.
std::vector<SoundEvent> nuclearTurn() {
    std::vector<SoundEvent> e;
    e.push_back({0, Sound::GunFire});
    for (int step = 1; step <= 30; ++step)
        e.push_back({50u * step, Sound::ShellWhistle, 30 * step - step * step});
    std::uint64_t t = 1500;
    e.push_back({t, Sound::NuclearBlast});
    for (int k = 0; k < 8; ++k) e.push_back({t + 900 + 60u * k, Sound::UnitDestroyed});
    t += 1500;
    for (int launcher = 0; launcher < 6; ++launcher)
        for (int rocket = 0; rocket < 5; ++rocket, t += 60) {
            e.push_back({t, Sound::SalvoRocketFire});
            e.push_back({t + 40, Sound::EnemyImpact, 100});
        }
    for (int shell = 0; shell < 10; ++shell, t += 120) {
        e.push_back({t, shell % 3 ? Sound::EnemyShellFire : Sound::EnemyRocketFire});
        e.push_back({t + 100, Sound::EnemyImpact, 50 * shell});
    }
    e.push_back({t, Sound::FighterApproach});
    e.push_back({t + 400, Sound::FighterRocket});
    e.push_back({t + 700, Sound::EnemyImpact, 30});
    t += 800;
    e.push_back({t, Sound::BomberApproach});
    e.push_back({t + 300, Sound::BombFall});
    for (int bomb = 0; bomb < 10; ++bomb) e.push_back({t + 400 + 30u * bomb, Sound::BombImpact});
    t += 800;
    for (int unit = 0; unit < 20; ++unit) e.push_back({t, Sound::UnitAdvance, 0, 350});
    return e;
}

constexpr std::size_t BUFFER = DesktopSound::BUFFER_FRAMES;

// CPU per second of sound while a nuclear turn sounds, as % of one core: the device's
// callbacks, one buffer at a time, each starting the events due by then.
void BM_SoundNuclearTurn(benchmark::State& state) {
    const auto turn = nuclearTurn();
    std::vector<float> buf(BUFFER);
    double audioSeconds = 0, cpuSeconds = 0;
    for (auto _ : state) {
        LiveSound live;
        std::size_t next = 0, frames = 0;
        const auto start = std::chrono::steady_clock::now();
        bool more = true;
        while (more || next < turn.size()) {
            while (next < turn.size() && turn[next].atMs * SAMPLE_RATE / 1000 <= frames)
                live.play(turn[next++]);
            more = live.fill(buf.data(), buf.size());
            frames += buf.size();
            benchmark::DoNotOptimize(buf.data());
        }
        cpuSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        audioSeconds += static_cast<double>(frames) / SAMPLE_RATE;
    }
    state.counters["core_pct"] = 100 * cpuSeconds / audioSeconds;
    state.counters["audio_s"] = audioSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SoundNuclearTurn)->Unit(benchmark::kMillisecond);

// From the frame that shows an event to its first audible sample on the device: the event
// waits at most one buffer for the next callback, that buffer is then played after the one
// in flight, and within it the sound rises from its first sample. The worst case, in ms.
void BM_SoundLatency(benchmark::State& state) {
    std::vector<float> buf(BUFFER);
    double firstAudible = 0;
    for (auto _ : state) {
        double worst = 0;
        for (int s = 0; s < SOUND_COUNT; ++s) {
            LiveSound live;
            live.setKeyClicks(true);
            live.play({0, static_cast<Sound>(s)});
            live.fill(buf.data(), buf.size());
            std::size_t at = 0;
            while (at < buf.size() && std::fabs(buf[at]) < 1e-3f) ++at;
            worst = std::max(worst, static_cast<double>(at));
        }
        firstAudible = worst;
        benchmark::DoNotOptimize(worst);
    }
    const double bufferMs = 1000.0 * BUFFER / SAMPLE_RATE;
    state.counters["buffer_ms"] = bufferMs;
    state.counters["first_audible_ms"] = 1000.0 * firstAudible / SAMPLE_RATE;
    state.counters["worst_latency_ms"] = 2 * bufferMs + 1000.0 * firstAudible / SAMPLE_RATE;
}
BENCHMARK(BM_SoundLatency)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace gs
