#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/battle.h"
#include "state/texts.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

using test::TestGame;

constexpr const char* AMMO_Q =
    "Select a type of the ammunition (1-fugasy, 2-armor-biting, 3-tactical nuclear";
constexpr const char* SHOT_Q = "Enter speed and angle of the shot";
constexpr const char* REPLAY_Q = "You are defeated. Do you want to play level again? (Y/N)";
/// A fugasy shot from GUNX 50 that lands 3 px short of a unit at 300.
constexpr const char* HIT_300 = "22 32\n";
/// A shot from GUNX 50 that lands at column 202, away from the gun and every unit here.
constexpr const char* MISS = "20 20\n";

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

struct Unit {
    i16 x, typ;
};

struct Battle : ::testing::Test {
    std::unique_ptr<TestGame> t;

    /// The level start: roster, gun, stocks, the per-level reset and full hit points.
    Game& level(const std::string& input, std::vector<Unit> units, i16 fs, i16 bs = 0, i16 ts = 0,
                i16 maxgunhp = 1000, i16 gunx = 50) {
        t = std::make_unique<TestGame>(input);
        Game& G = t->G;
        G.NUMB = static_cast<i16>(units.size());
        for (std::size_t i = 0; i < units.size(); ++i) {
            G.unit(static_cast<int>(i) + 1).X = units[i].x;
            G.unit(static_cast<int>(i) + 1).TYP = units[i].typ;
        }
        G.GUNX = gunx;
        G.FS = fs;
        G.BS = bs;
        G.TS = ts;
        G.MAXGUNHP = maxgunhp;
        restart();
        t->rnd.fallback = 50; // fire balls and scatter land on their centres
        return G;
    }
    /// What a replay of the same roster does before the next battle (a Skirmish).
    void restart() {
        Game& G = t->G;
        ANTICHEAT(G);
        MAXIMALHP(G);
        for (int i = 1; i <= G.units(); ++i) G.unit(i).HEALTH = G.unit(i).MAXHP;
    }
    const std::string& out() const { return t->term.output; }
    /// Blow-ups of destroyed units: each starts by drawing its ball count from Random(5).
    int unitExplosions() const {
        int n = 0;
        for (int a : t->rnd.asked) n += (a == 5);
        return n;
    }
};

TEST_F(Battle, OneShotThatClearsTheFieldWins) {
    Game& G = level("\n1\n" + std::string(HIT_300), {{300, T_MISHEN}}, 5);
    t->rnd.script({2}); // seven fire balls
    EXPECT_EQ(battle(G), Outcome::Won);
    EXPECT_EQ(count(out(), AMMO_Q), 1);
    EXPECT_EQ(count(out(), SHOT_Q), 1);
    EXPECT_EQ(count(out(), "VICTORY!!!"), 1);
    EXPECT_LT(out().find(SHOT_Q), out().find("VICTORY!!!"));
    EXPECT_EQ(count(out(), REPLAY_Q), 0);
    EXPECT_EQ(t->term.clears, 0); // the console scrolls on, never cleared
    EXPECT_FALSE(t->gr.isOpen());
    EXPECT_EQ(G.Q, 1);
    EXPECT_TRUE(G.VICT);
    EXPECT_EQ(G.FS, 4);
    EXPECT_EQ(G.OBRU, 2);
    EXPECT_EQ(G.X, 247);
    EXPECT_EQ(G.GD, 0);
    EXPECT_EQ(G.GM, 30000);
    const OBJ& o = G.unit(1);
    EXPECT_EQ(o.UVIS, 1);
    EXPECT_EQ(o.HEALTH, 0); // clamped before the victory test
    EXPECT_EQ(o.GX, 0);
    EXPECT_EQ(o.GY, 0);
    EXPECT_EQ(G.ALLHP, 0);
    // Flight, blast, the pause before the splash, seven balls, the victory pause.
    EXPECT_EQ(t->clk.delayedMs(), 50u * G.T + 300u + 100u + 7u * 50u + 1500u);
}

TEST_F(Battle, RefusedAmmunitionAnswersAndEmptyStocksAskAgain) {
    Game& G = level("\n0\n4\n-1\n1\n3\n2\n" + std::string(HIT_300), {{300, T_MISHEN}}, 0, 5);
    EXPECT_EQ(battle(G), Outcome::Won);
    EXPECT_EQ(count(out(), AMMO_Q), 6);
    EXPECT_EQ(count(out(), "You have no fugasy ammunition"), 1);
    EXPECT_EQ(count(out(), "You have no tactical nuclear ammunition"), 1);
    EXPECT_EQ(count(out(), SHOT_Q), 1);
    EXPECT_EQ(G.BS, 4);
}

TEST_F(Battle, AnswersThatAreNotNumbersAreRefusedAndAskedAgain) {
    // The start key q makes the first answer "q1"; "22 abc 32" gives no angle, so both
    // numbers are asked again; "0X16" is not hexadecimal.
    Game& G = level("q1\n1\n22 abc 32\n0X16 32\n" + std::string(HIT_300), {{300, T_MISHEN}}, 5);
    EXPECT_EQ(battle(G), Outcome::Won);
    const std::string refused = std::string("\n") + text::NOT_A_NUMBER + "\n";
    EXPECT_EQ(count(out(), "q1" + refused + AMMO_Q), 1);
    EXPECT_EQ(count(out(), "22 abc 32" + refused + SHOT_Q), 1);
    EXPECT_EQ(count(out(), "0X16 32" + refused + SHOT_Q), 1);
    EXPECT_EQ(count(out(), text::NOT_A_NUMBER), 3);
    EXPECT_EQ(count(out(), AMMO_Q), 2);
    EXPECT_EQ(G.FS, 4); // one shell fired, by the answer that was a pair of numbers
}

TEST_F(Battle, TheStartKeyBecomesTheFirstKeyOfTheAnswer) {
    // The key 2 starts the battle, then 1 and Enter: the answer is 21, refused.
    Game& G = level("21\n1\n" + std::string(HIT_300), {{300, T_MISHEN}}, 5, 5);
    EXPECT_EQ(battle(G), Outcome::Won);
    EXPECT_EQ(count(out(), AMMO_Q), 2);
    EXPECT_EQ(G.BS, 5);
    EXPECT_EQ(G.FS, 4);
}

TEST_F(Battle, FiringTheLastShellLosesEvenWhenItKillsTheLastUnit) {
    Game& G = level("\n1\n" + std::string(HIT_300) + "y\n", {{300, T_MISHEN}}, 1);
    EXPECT_EQ(battle(G), Outcome::Replay);
    EXPECT_EQ(count(out(), "VICTORY!!!"), 0);
    EXPECT_EQ(count(out(), REPLAY_Q), 1);
    EXPECT_EQ(G.unit(1).UVIS, 1); // it was destroyed all the same
    EXPECT_EQ(unitExplosions(), 1);
    EXPECT_FALSE(t->gr.isOpen());
}

TEST_F(Battle, GunDestroyedInTheSameTurnAsTheLastUnitLoses) {
    // A shell at the gun's own wheel: the target 50 px away dies, the gun loses 200.
    Game& G = level("\n1\n0 0\nn\n", {{100, T_MISHEN}}, 5, 0, 0, 200);
    EXPECT_EQ(battle(G), Outcome::EndProgram);
    EXPECT_EQ(G.unit(1).UVIS, 1);
    EXPECT_EQ(G.GUNHP, 0);
    EXPECT_EQ(count(out(), "DEAD"), 1);
    EXPECT_LT(out().find("DEAD"), out().find(REPLAY_Q));
    EXPECT_EQ(count(out(), "VICTORY!!!"), 0);
}

TEST_F(Battle, AUnitExplodesOnlyInTheTurnItFalls) {
    // Turn 1 kills both targets (the second by the blast); turn 2 hits their wrecks
    // again; turn 3 takes the house.
    Game& G = level("\n1\n" + std::string(HIT_300) + "1\n" + HIT_300 + "1\n35 40\n",
                    {{300, T_MISHEN}, {330, T_MISHEN}, {700, T_HOUSE}}, 10);
    EXPECT_EQ(battle(G), Outcome::Won);
    EXPECT_EQ(count(out(), SHOT_Q), 3);
    EXPECT_EQ(unitExplosions(), 3);
    EXPECT_EQ(G.OBRU, 4);
}

TEST_F(Battle, ReplayQuestionTakesTheFirstCharacterOfTheLine) {
    Game& G = level("\n1\n0 0\n\n q\nq\nyes\n", {{900, T_MISHEN}}, 5, 0, 0, 200);
    EXPECT_EQ(battle(G), Outcome::Replay);
    EXPECT_EQ(count(out(), REPLAY_Q), 4);
    EXPECT_EQ(G.DIAL, 'y');
    EXPECT_FALSE(t->gr.isOpen());
}

TEST_F(Battle, NoShellsAtAllLosesTheLevelInsteadOfAskingForever) {
    // A Skirmish whose last shell missed is replayed with its spent stocks.
    Game& G = level("\n1\n" + std::string(MISS) + "y\n", {{600, T_HOUSE}, {800, T_OTANK}}, 1);
    ASSERT_EQ(battle(G), Outcome::Replay);
    restart();
    t->term.feed("\nN\n");
    EXPECT_EQ(battle(G), Outcome::EndProgram);
    EXPECT_EQ(count(out(), AMMO_Q), 1); // only the first battle asked
    EXPECT_EQ(count(out(), "You have no ammunition left"), 1);
    EXPECT_EQ(count(out(), REPLAY_Q), 3); // Enter to start is an empty answer
    EXPECT_FALSE(t->gr.isOpen());
    // A level that gives no shell, or a negative stock, is lost the same way.
    Game& H = level("y\n", {{300, T_MISHEN}}, -1, 0, -3);
    EXPECT_EQ(battle(H), Outcome::Replay);
    EXPECT_EQ(count(out(), "You have no ammunition left"), 1);
    EXPECT_EQ(t->term.pending(), 0u);
}

TEST_F(Battle, ANegativeStockDoesNotCancelAShellStillInHand) {
    // 1 fugasy left and -1 armor-biting add up to 0, yet a shell remains to be fired.
    Game& G = level("\n1\n" + std::string(MISS) + "1\n" + MISS + "n\n", {{900, T_MISHEN}}, 2, -1);
    EXPECT_EQ(battle(G), Outcome::EndProgram);
    EXPECT_EQ(count(out(), SHOT_Q), 2);
    EXPECT_EQ(G.FS, 0);
}

TEST_F(Battle, NuclearShellDamagesByColumnWhereverItStopped) {
    Game& G = level("\n3\n" + std::string(HIT_300) + "n\n", {{300, T_BUILDING}}, 0, 0, 1);
    EXPECT_EQ(battle(G), Outcome::EndProgram); // the only shell is spent
    EXPECT_EQ(G.TS, 0);
    EXPECT_GE(G.Y, 0); // stopped in the building's box, not in the ground
    ASSERT_LT(G.X, 250);
    EXPECT_EQ(G.GUNHP, 1000 - (1000 - 3 * G.X)); // the gun is within the blast
    EXPECT_EQ(G.unit(1).UVIS, 1);
    // Flight, the 100 frames of the cloud, the pause, nine fire balls.
    EXPECT_EQ(t->clk.delayedMs(), 50u * G.T + 500u + 100u + 9u * 50u);
}

TEST_F(Battle, ShellsBlastWhereTheyStoppedButTheCloudGrowsFromTheGround) {
    // 30 at 45 degrees flies 21 by 21 per step and stops in the building's box at
    // (470, 480), 20 px above the ground; the building survives, so nothing covers it.
    Game& G = level("\n1\n30 45\nn\n", {{490, T_BUILDING}}, 1);
    EXPECT_EQ(battle(G), Outcome::EndProgram);
    ASSERT_EQ(G.X, 420);
    ASSERT_EQ(G.Y, 20);
    EXPECT_EQ(t->gr.pixel(455, 530), 15); // white rim's foot, ring at (455, 500)
    EXPECT_EQ(t->gr.pixel(500, 470), 4);  // red rim's right, ring at (480, 470)
    EXPECT_EQ(t->gr.pixel(465, 445), 14); // yellow rim's top, ring at (465, 465)

    Game& H = level("\n3\n30 45\nn\n", {{490, T_BUILDING}}, 0, 0, 1);
    EXPECT_EQ(battle(H), Outcome::EndProgram);
    ASSERT_EQ(H.Y, 20);
    // The last cap, (101, 50) around (470, 335), stands on a stem that starts at row 499.
    EXPECT_EQ(t->gr.pixel(470, 380), 14);
    EXPECT_EQ(t->gr.pixel(470, 284), 0);
}

} // namespace
} // namespace gs
