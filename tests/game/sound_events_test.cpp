// The sounds a battle hands over: what, when on the game's clock, and that listening
// changes nothing the game does.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "combat/flight.h"
#include "game/battle.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

using test::TestGame;

struct Heard : SoundSink {
    std::vector<SoundEvent> events;
    void play(const SoundEvent& e) override { events.push_back(e); }
    int count(Sound s) const {
        int n = 0;
        for (const SoundEvent& e : events) n += e.sound == s;
        return n;
    }
    const SoundEvent* first(Sound s) const {
        for (const SoundEvent& e : events)
            if (e.sound == s) return &e;
        return nullptr;
    }
};

struct Setting {
    i16 x, typ;
};

/// One battle, heard or not; what the game did is kept for comparison.
struct Played {
    std::string transcript;
    std::vector<int> draws;
    std::uint64_t pausedMs = 0;
    i16 gunHp = 0;
    Outcome outcome{};
};

/// With `centred` every draw lands mid-range (fire balls, scatter); else the seeded
/// generator draws, as an enemy's guided rocket needs.
Played play(const std::string& input, const std::vector<Setting>& units, i16 fs, SoundSink* sink,
            bool centred = true) {
    TestGame t(input);
    Game& G = t.G;
    if (sink) G.sink = sink;
    G.NUMB = static_cast<i16>(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        G.unit(static_cast<int>(i) + 1).X = units[i].x;
        G.unit(static_cast<int>(i) + 1).TYP = units[i].typ;
    }
    G.GUNX = 50;
    G.FS = fs;
    G.MAXGUNHP = 30000;
    ANTICHEAT(G);
    MAXIMALHP(G);
    for (int i = 1; i <= G.units(); ++i) G.unit(i).HEALTH = G.unit(i).MAXHP;
    if (centred) t.rnd.fallback = 50;
    Played p;
    p.outcome = battle(G);
    p.transcript = t.term.output;
    p.draws = t.rnd.asked;
    p.pausedMs = t.clk.delayedMs();
    p.gunHp = G.GUNHP;
    return p;
}

void expectSameGame(const Played& a, const Played& b) {
    EXPECT_EQ(a.transcript, b.transcript);
    EXPECT_EQ(a.draws, b.draws);
    EXPECT_EQ(a.pausedMs, b.pausedMs);
    EXPECT_EQ(a.gunHp, b.gunHp);
    EXPECT_EQ(a.outcome, b.outcome);
}

TEST(BattleSound, AWinningShotIsHeardAtEachStepOnTheGamesClock) {
    const std::string input = "\n1\n22 32\n";
    Heard heard;
    const Played p = play(input, {{300, T_MISHEN}}, 5, &heard);
    ASSERT_EQ(p.outcome, Outcome::Won);
    expectSameGame(p, play(input, {{300, T_MISHEN}}, 5, nullptr));

    const auto& e = heard.events;
    ASSERT_GE(e.size(), 5u);
    EXPECT_EQ(e.front().sound, Sound::GunFire);
    EXPECT_EQ(e.front().atMs, 0u);
    // One whistle for each step of the flight, 50 ms apart, each with the shell's height.
    const int steps = heard.count(Sound::ShellWhistle);
    EXPECT_GT(steps, 3);
    i16 DX = 0, DY = 0;
    shotVelocity(22, 32, DX, DY);
    for (int k = 0; k < steps; ++k) {
        EXPECT_EQ(e[1 + k].sound, Sound::ShellWhistle);
        EXPECT_EQ(e[1 + k].atMs, 50u * (k + 1));
        EXPECT_EQ(e[1 + k].value, DY * k - k * k) << "step " << k; // the shot's own parabola
    }
    const SoundEvent* blast = heard.first(Sound::FugasyBlast);
    ASSERT_NE(blast, nullptr);
    EXPECT_EQ(blast->atMs, 50u * steps);
    EXPECT_EQ(heard.count(Sound::UnitDestroyed), 1);
    // The blast's rings and the pause before the splash come before the unit's end.
    EXPECT_EQ(heard.first(Sound::UnitDestroyed)->atMs, blast->atMs + 300 + 100);
    EXPECT_EQ(e.back().sound, Sound::LevelWon);
    EXPECT_EQ(e.back().atMs, p.pausedMs - 1500); // before the victory's pause
    EXPECT_EQ(heard.count(Sound::LevelLost), 0);
    for (std::size_t i = 1; i < e.size(); ++i) EXPECT_GE(e[i].atMs, e[i - 1].atMs);
}

TEST(BattleSound, TheEnemysAnswerIsHeardKindByKindAndChangesNothing) {
    // The last shell misses: the enemy answers, the level is lost.
    const std::string input = "\n1\n20 20\nn\n";
    const std::vector<Setting> units = {
        {600, T_ENEMYGUN}, {500, T_ROCKETMAN}, {400, T_RSZO}, {700, T_SAU}};
    Heard heard;
    const Played p = play(input, units, 1, &heard, false);
    ASSERT_EQ(p.outcome, Outcome::EndProgram);
    expectSameGame(p, play(input, units, 1, nullptr, false));

    EXPECT_EQ(heard.count(Sound::GunFire), 1);
    EXPECT_EQ(heard.count(Sound::UnitDestroyed), 0);
    // The gun and the self-propelled gun fire shells, the rocket man a guided rocket, the
    // launcher five rockets; each lands somewhere near the gun.
    EXPECT_EQ(heard.count(Sound::EnemyShellFire), 2);
    EXPECT_EQ(heard.count(Sound::EnemyRocketFire), 1);
    EXPECT_EQ(heard.count(Sound::SalvoRocketFire), 5);
    EXPECT_EQ(heard.count(Sound::EnemyImpact), 2 + 1 + 5);
    for (const SoundEvent& e : heard.events) {
        if (e.sound == Sound::EnemyImpact) {
            EXPECT_GE(e.value, 0);
        }
    }
    // Every unit that moves rumbles as long as its advance: 10 ms a pixel.
    std::map<int, int> lengths;
    for (const SoundEvent& e : heard.events)
        if (e.sound == Sound::UnitAdvance) ++lengths[e.lengthMs];
    EXPECT_EQ(lengths[350], 2); // the launcher and the self-propelled gun
    EXPECT_EQ(lengths[50], 1);  // the rocket man
    EXPECT_EQ(heard.events.back().sound, Sound::LevelLost);
    EXPECT_EQ(heard.count(Sound::LevelWon), 0);
}

TEST(BattleSound, TheNuclearShellIsHeardAsItsOwnBlast) {
    const std::string input = "\n3\n20 20\nn\n";
    Heard heard;
    TestGame t(input);
    Game& G = t.G;
    G.sink = &heard;
    G.NUMB = 1;
    G.unit(1).X = 900;
    G.unit(1).TYP = T_BUNKER;
    G.GUNX = 50;
    G.TS = 1;
    G.MAXGUNHP = 30000;
    ANTICHEAT(G);
    MAXIMALHP(G);
    G.unit(1).HEALTH = G.unit(1).MAXHP;
    t.rnd.fallback = 50;
    battle(G);
    EXPECT_EQ(heard.count(Sound::NuclearBlast), 1);
    EXPECT_EQ(heard.count(Sound::FugasyBlast), 0);
    EXPECT_EQ(heard.count(Sound::ArmorBitingBlast), 0);
}

} // namespace
} // namespace gs
