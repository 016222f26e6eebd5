// The automatic player: its sight and flight agree with the gun's, it picks sound shots,
// it never looks at the dice, and it carries a battle through the console by itself.
#include <gtest/gtest.h>

#include <cstdlib>

#include "autoplayer/autoplayer.h"
#include "combat/flight.h"
#include "game/battle.h"
#include "render/sprites.h"
#include "system/runtime_error.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

using test::TestGame;

void place(Game& G, std::initializer_list<std::pair<int, int>> units) {
    G.NUMB = static_cast<i16>(units.size());
    int i = 1;
    for (auto [x, typ] : units) {
        OBJ& o = G.unit(i++);
        o = OBJ{};
        o.X = static_cast<i16>(x);
        o.TYP = static_cast<i16>(typ);
    }
    if (G.MAXGUNHP == 0) G.MAXGUNHP = 1000;
    ANTICHEAT(G);
    MAXIMALHP(G);
    for (int k = 1; k <= G.units(); ++k) G.unit(k).HEALTH = G.unit(k).MAXHP;
}

TEST(AutoPlayerSight, PredictsTheStopOfEveryShellThatFlyStops) {
    TestGame t;
    t.openGraph();
    Game& G = t.G;
    G.GUNX = 50;
    // A tall target, a wide bunker behind it, a tiny rocket man and a destroyed tank.
    place(G, {{300, T_MISHEN}, {420, T_BUNKER}, {600, T_ROCKETMAN}, {700, T_LTANK}});
    G.unit(4).HEALTH = 0;
    G.unit(4).UVIS = 1;
    PAINTOBJ(G);
    G.unit(4).GX = 0;
    G.unit(4).GY = 0;
    for (int dx = 1; dx <= 40; dx += 3)
        for (int dy = 1; dy <= 40; dy += 3) {
            G.DX = static_cast<i16>(dx);
            G.DY = static_cast<i16>(dy);
            const i16 predicted = stopColumn(G, G.DX, G.DY);
            FLY(G);
            ASSERT_EQ(predicted, G.GUNX + G.X) << "DX " << dx << " DY " << dy;
        }
}

TEST(AutoPlayerPlan, HitsALoneTargetWithTheShellThatKillsIt) {
    TestGame t;
    Game& G = t.G;
    G.GUNX = 50;
    place(G, {{640, T_TRANSPORTBTR}});
    G.FS = 5;
    G.BS = 5;
    G.TS = 0;
    const Shot s = planShot(G);
    EXPECT_EQ(s.ammo, A_ARMORBITING); // one armor-biting shell finishes 800 hit points
    EXPECT_LT(std::abs(s.column - 640), 40);
    EXPECT_EQ(s.damage, 800);
    EXPECT_EQ(s.selfDamage, 0);
    i16 dx = 0, dy = 0;
    shotVelocity(s.speed, s.angle, dx, dy);
    EXPECT_EQ(stopColumn(G, dx, dy), s.column);
}

TEST(AutoPlayerPlan, NeverLooksAtTheDice) {
    TestGame t;
    Game& G = t.G;
    G.GUNX = 50;
    place(G, {{400, T_LTANK}, {700, T_SAU}, {900, T_RADARMACH}});
    G.FS = 10;
    G.BS = 5;
    G.TS = 2;
    planShot(G);
    EXPECT_TRUE(t.rnd.asked.empty());
}

TEST(AutoPlayerPlan, SparesItsOwnGunAndPutsTheNearestThreatFirst) {
    TestGame t;
    Game& G = t.G;
    G.GUNX = 50;
    // A transport about to overrun the gun, a house far away. Only nuclear shells: a
    // blast on the transport would strike the gun three times over.
    place(G, {{170, T_TRANSPORTBTR}, {900, T_HOUSE}, {1000, T_HOUSE}});
    G.GUNHP = 2000; // more than the level start gave, so that a blast is not fatal
    G.FS = 0;
    G.BS = 0;
    G.TS = 3;
    Shot s = planShot(G);
    EXPECT_LT(s.selfDamage, G.GUNHP);
    EXPECT_GE(std::abs(s.column - G.GUNX), 250 - 3) << "a blast that close costs the gun";

    // With fugasy shells the transport comes first, whatever the houses are worth.
    G.FS = 4;
    G.TS = 0;
    s = planShot(G);
    EXPECT_EQ(s.ammo, A_FUGASY);
    EXPECT_LT(std::abs(s.column - 170), 80);
}

TEST(AutoPlayerTerminal, WinsAPracticeBattleByItself) {
    AutoGame a(7);
    Game& G = a.G;
    a.term.keepTranscript = true;
    G.GUNX = 50;
    place(G, {{300, T_MISHEN}, {560, T_HOUSE}, {820, T_MISHEN}});
    G.FS = 10;
    G.BS = 3;
    G.TS = 0;
    EXPECT_EQ(battle(G), Outcome::Won);
    EXPECT_NE(a.term.transcript.find("VICTORY!!!"), std::string::npos) << a.term.transcript;
    ASSERT_FALSE(a.term.shots.empty());
    EXPECT_LE(a.term.shots.size(), 5u);
    EXPECT_EQ(G.FS + G.BS + G.TS, 13 - static_cast<int>(a.term.shots.size()));
}

TEST(AutoPlayerTerminal, AnswersTheDefeatQuestionAsToldThenGivesUp) {
    AutoGame a(7);
    Game& G = a.G;
    G.GUNX = 50;
    place(G, {{600, T_BUNKER}});
    G.FS = 1; // the last shell loses the level, whatever it hits
    G.BS = 0;
    G.TS = 0;
    a.term.replays = 1;
    EXPECT_EQ(battle(G), Outcome::Replay);
    place(G, {{600, T_BUNKER}});
    G.FS = 1;
    EXPECT_EQ(battle(G), Outcome::EndProgram);
    EXPECT_EQ(a.term.shots.size(), 2u);
}

} // namespace
} // namespace gs

namespace gs {
namespace {

std::string typed(AutoTerminal& t) {
    std::string s;
    for (int k = t.waitKey(); k != KEY_ENTER; k = t.waitKey()) s += static_cast<char>(k);
    return s;
}

TEST(AutoPlayerTerminal, TypesPresetsFirstQuitsAtTheMainMenuAndNeverWaitsForever) {
    AutoTerminal t;
    t.preset("1\r1\r");
    EXPECT_EQ(typed(t), "1");
    EXPECT_EQ(typed(t), "1");
    t.write("Select game type\n1.Campaign\nSelect menu point\n");
    EXPECT_EQ(typed(t), "") << "the game-type menu is not the main menu";
    t.write("Gorvenshale\n1.Play\nSelect menu point\n");
    EXPECT_EQ(typed(t), "3");
    t.write("Something it has never seen\n");
    try {
        for (int i = 0; i < 5000; ++i) t.waitKey();
        FAIL() << "a game stuck waiting must be cut short";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.code, RE_INPUT_ENDED);
    }
}

} // namespace
} // namespace gs
