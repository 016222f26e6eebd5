// The sound's core: the table, the mixer's voices and limiter, the queue between threads,
// the rendering on the game's clock and the WAV file it writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sound/event_queue.h"
#include "sound/live.h"
#include "sound/mixer.h"
#include "sound/wav.h"

namespace gs {
namespace {

std::vector<float> render(std::vector<SoundEvent> events, std::uint64_t endMs = 0) {
    std::vector<float> out;
    Timeline t(SAMPLE_RATE,
               [&](const float* s, std::size_t n) { out.insert(out.end(), s, s + n); });
    for (const SoundEvent& e : events) t.add(e);
    t.finish(endMs);
    return out;
}

float peak(const std::vector<float>& s, std::size_t from, std::size_t to) {
    float p = 0;
    for (std::size_t i = from; i < to && i < s.size(); ++i) p = std::max(p, std::fabs(s[i]));
    return p;
}

std::size_t ms(int m) { return static_cast<std::size_t>(m) * SAMPLE_RATE / 1000; }

std::string tempPath(const char* name) {
    return ::testing::TempDir() + "/" + name + std::to_string(::getpid()) + ".wav";
}

TEST(SoundTable, EveryRowIsASoundOfItsOwn) {
    std::set<std::string> names;
    for (int i = 0; i < SOUND_COUNT; ++i) {
        const SoundShape& s = shapeOf(static_cast<Sound>(i));
        EXPECT_TRUE(names.insert(s.name).second) << s.name;
        EXPECT_GT(s.lengthMs, s.attackMs) << s.name;
        EXPECT_GT(s.volume, 0) << s.name;
        EXPECT_LE(s.volume, 1) << s.name;
        EXPECT_GT(s.startHz, 0) << s.name;
        EXPECT_GT(s.endHz, 0) << s.name;
    }
    // The nuclear blast outlasts the mushroom's hundred frames and is the deepest blast.
    const SoundShape& n = shapeOf(Sound::NuclearBlast);
    EXPECT_GE(n.lengthMs, 2000);
    EXPECT_LT(n.endHz, shapeOf(Sound::FugasyBlast).endHz);
}

TEST(SoundMixer, SoundsAtItsTimeAndIsSilentBetween) {
    auto s = render({{100, Sound::GunFire}, {2000, Sound::LevelWon}});
    EXPECT_EQ(peak(s, 0, ms(100)), 0.0f);
    EXPECT_GT(peak(s, ms(100), ms(110)), 0.05f);
    // The gun's 450 ms are over long before the second event.
    EXPECT_EQ(peak(s, ms(600), ms(2000)), 0.0f);
    EXPECT_GT(peak(s, ms(2000), ms(2100)), 0.05f);
    // It ends when the last sound does, or with the game's last pause when that is later.
    EXPECT_NEAR(static_cast<double>(s.size()), static_cast<double>(ms(2900)), ms(30));
    auto paused = render({{100, Sound::GunFire}}, 5000);
    EXPECT_EQ(paused.size(), ms(5000));
    EXPECT_EQ(peak(paused, ms(600), ms(5000)), 0.0f);
}

TEST(SoundMixer, TwentyAtOnceNeverReachFullScale) {
    std::vector<SoundEvent> all;
    for (int i = 0; i < 20; ++i) all.push_back({50, static_cast<Sound>(i % SOUND_COUNT)});
    for (int i = 0; i < 20; ++i) all.push_back({60, Sound::NuclearBlast});
    auto s = render(all);
    EXPECT_LT(peak(s, 0, s.size()), 1.0f);
    // Loud, not silenced by the limiter.
    EXPECT_GT(peak(s, ms(50), ms(300)), 0.9f);
    // Written to 16 bits, no sample sits at full scale either.
    const std::string path = tempPath("twenty");
    {
        WavWriter w(path, SAMPLE_RATE);
        w.write(s.data(), s.size());
        ASSERT_TRUE(w.close());
    }
    std::ifstream f(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(f)), {});
    ASSERT_EQ(bytes.size(), 44 + 2 * s.size());
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
        const auto v = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 static_cast<unsigned char>(bytes[i + 1]) << 8);
        ASSERT_LT(std::abs(int{v}), 32767) << "sample " << (i - 44) / 2;
    }
    std::remove(path.c_str());
}

TEST(SoundMixer, LimiterPassesQuietSoundsAndBendsLoudOnes) {
    EXPECT_EQ(Mixer::limit(0.3f), 0.3f);
    EXPECT_EQ(Mixer::limit(-0.5f), -0.5f);
    float last = 0;
    for (float x = 0; x < 40; x += 0.01f) {
        const float y = Mixer::limit(x);
        EXPECT_GE(y, last);
        EXPECT_LT(y, 1.0f);
        EXPECT_EQ(Mixer::limit(-x), -y);
        last = y;
    }
}

TEST(SoundMixer, OldestVoiceGivesWayWhenAllAreTaken) {
    Mixer m;
    for (int i = 0; i < Mixer::MAX_VOICES + 5; ++i) m.start({0, Sound::NuclearBlast});
    EXPECT_EQ(m.voices(), Mixer::MAX_VOICES);
    std::vector<float> out(ms(3300));
    m.mix(out.data(), out.size());
    EXPECT_FALSE(m.sounding());
}

/// Upward zero crossings per second over [from, to).
double pitchOf(const std::vector<float>& s, std::size_t from, std::size_t to) {
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        if (s[i - 1] < 0 && s[i] >= 0) ++crossings;
    return crossings * static_cast<double>(SAMPLE_RATE) / static_cast<double>(to - from);
}

TEST(SoundMixer, WhistleFollowsTheShellsHeight) {
    Mixer m;
    std::vector<float> s(ms(300));
    m.start({0, Sound::ShellWhistle, 0});
    m.mix(s.data(), ms(100));
    m.start({0, Sound::ShellWhistle, 400}); // higher up: one voice, a higher pitch
    EXPECT_EQ(m.voices(), 1);
    m.mix(s.data() + ms(100), ms(200));
    const double low = pitchOf(s, ms(20), ms(100)), high = pitchOf(s, ms(140), ms(220));
    EXPECT_NEAR(low, shapeOf(Sound::ShellWhistle).startHz, 30);
    EXPECT_GT(high, low * 2.5);
    // Steered, it kept sounding past its own length; left alone it fades out.
    EXPECT_GT(peak(s, ms(180), ms(220)), 0.05f);
    std::vector<float> rest(ms(200));
    m.mix(rest.data(), rest.size());
    EXPECT_FALSE(m.sounding());
}

TEST(SoundMixer, FartherImpactsAreQuieterAndLengthsCanBeGiven) {
    auto near = render({{0, Sound::EnemyImpact, 0}});
    auto far = render({{0, Sound::EnemyImpact, 900}});
    EXPECT_GT(peak(near, 0, near.size()), 2 * peak(far, 0, far.size()));
    auto advance = render({{0, Sound::UnitAdvance, 0, 1200}});
    EXPECT_NEAR(static_cast<double>(advance.size()), static_cast<double>(ms(1200)), ms(25));
}

TEST(SoundMixer, TheSameEventsRenderTheSameSamples) {
    std::vector<SoundEvent> turn = {
        {0, Sound::GunFire},        {50, Sound::ShellWhistle, 40}, {100, Sound::ShellWhistle, 80},
        {150, Sound::NuclearBlast}, {900, Sound::EnemyShellFire},  {1400, Sound::EnemyImpact, 120}};
    EXPECT_EQ(render(turn), render(turn));
}

TEST(SoundQueue, KeepsOrderAndDropsWhenFull) {
    EventQueue<4> q;
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(q.push({0, Sound::GunFire, i}));
    EXPECT_FALSE(q.push({0, Sound::GunFire, 99}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(q.pop()->value, i);
    EXPECT_FALSE(q.pop());
    EXPECT_TRUE(q.empty());
}

TEST(SoundQueue, CarriesEveryEventFromOneThreadToAnother) {
    EventQueue<64> q;
    constexpr int N = 100000;
    std::thread producer([&] {
        for (int i = 0; i < N; ++i)
            while (!q.push({0, Sound::KeyClick, i})) std::this_thread::yield();
    });
    int expected = 0;
    while (expected < N) {
        if (auto e = q.pop()) {
            ASSERT_EQ(e->value, expected);
            ++expected;
        } else {
            std::this_thread::yield();
        }
    }
    producer.join();
}

TEST(SoundLive, StartsWhatWaitsAndRestsWhenDone) {
    LiveSound live;
    int wakes = 0;
    live.onEvent = [&] { ++wakes; };
    EXPECT_TRUE(live.quiet());
    live.play({12345, Sound::GunFire});
    EXPECT_EQ(wakes, 1);
    EXPECT_FALSE(live.quiet());
    std::vector<float> buf(512);
    EXPECT_TRUE(live.fill(buf.data(), buf.size()));
    // Heard from the first sample of the stretch, whatever the game's clock said.
    EXPECT_GT(peak(buf, 0, 48), 0.0f);
    // Clicks only when asked for.
    live.keyClick();
    EXPECT_EQ(wakes, 1);
    live.setKeyClicks(true);
    live.keyClick();
    EXPECT_EQ(wakes, 2);
    for (int i = 0; i < 100; ++i) live.fill(buf.data(), buf.size());
    EXPECT_TRUE(live.quiet());
    EXPECT_FALSE(live.fill(buf.data(), buf.size()));
    EXPECT_EQ(peak(buf, 0, buf.size()), 0.0f);
}

TEST(SoundWav, RecordingWritesTheGamesSoundAtItsTimes) {
    std::vector<SoundEvent> turn = {{200, Sound::GunFire}, {1000, Sound::FugasyBlast}};
    const std::string path = tempPath("recording");
    {
        WavRecording rec(path);
        ASSERT_TRUE(rec.ok());
        for (const SoundEvent& e : turn) rec.play(e);
        EXPECT_TRUE(rec.finish());
    }
    std::ifstream f(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(f)), {});
    std::remove(path.c_str());
    ASSERT_GE(bytes.size(), 44u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    const auto u32 = [&](std::size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
               std::uint32_t{bytes[at + 3]} << 24;
    };
    EXPECT_EQ(u32(24), static_cast<std::uint32_t>(SAMPLE_RATE));
    EXPECT_EQ(u32(40), bytes.size() - 44);
    EXPECT_EQ(u32(4), bytes.size() - 8);
    const auto expected = render(turn);
    ASSERT_EQ(u32(40), 2 * expected.size());
    for (std::size_t i = 0; i < expected.size(); i += 97) {
        const auto v = static_cast<std::int16_t>(bytes[44 + 2 * i] | bytes[45 + 2 * i] << 8);
        ASSERT_EQ(v, std::lround(expected[i] * 32767.0f)) << i;
    }
}

TEST(SoundWav, AFileThatCannotBeWrittenIsReported) {
    WavRecording rec("/nonexistent-dir/x.wav");
    EXPECT_FALSE(rec.ok());
    rec.play({0, Sound::GunFire});
    EXPECT_FALSE(rec.finish());
}

} // namespace
} // namespace gs
