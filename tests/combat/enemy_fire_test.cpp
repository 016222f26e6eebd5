#include <gtest/gtest.h>

#include <vector>

#include "combat/enemy_fire.h"
#include "tests/combat/enemy_rig.h"

namespace gs {
namespace {

using test::EnemyRig;
using test::Spot;

/// One unit on the roster, with the values its sprite gives it.
struct Fire : ::testing::Test {
    EnemyRig r;
    Game& G = r.G;
    void SetUp() override {
        G.GUNX = 50;
        G.GUNHP = 1000;
        G.OBRU = 1;
        r.rnd.fallback = 0;
    }
    OBJ& unit(int i, int x, int shot, int dist, int hp = 500) {
        G.NUMB = static_cast<i16>(std::max<int>(G.NUMB, i));
        OBJ& u = G.unit(i);
        u.X = static_cast<i16>(x);
        u.SHOT = static_cast<i16>(shot);
        u.DIST = static_cast<i16>(dist);
        u.HEALTH = static_cast<i16>(hp);
        return u;
    }
    /// The centre of the white circle at every pause of `ms` milliseconds.
    std::vector<Spot> seen;
    void circles(std::uint16_t ms) {
        r.look = [this, ms](std::uint16_t d) {
            if (d == ms) seen.push_back(test::centreOf(r.gr, 15));
        };
    }
};

TEST_F(Fire, SelfPropelledGunShellLandsTenPixelsFromTheGun) {
    unit(1, 700, 1, 800);
    r.rnd.script({100, 10, 5}); // no aiming error, both velocity errors 0
    circles(50);
    AISHOT(G);
    EXPECT_EQ(r.rnd.asked, (std::vector<int>{200, 20, 10}));
    // DXX1 = -40, DYY1 = 79: 17 positions computed, the last one (underground) not drawn.
    ASSERT_EQ(seen.size(), 17u);
    EXPECT_EQ(seen[0], (Spot{700, 495}));
    EXPECT_EQ(seen[1], (Spot{700, 500}));
    EXPECT_EQ(seen[2], (Spot{660, 500 - 74}));
    EXPECT_EQ(seen[16], (Spot{700 - 40 * 15, 500 - (79 * 15 - 5 * 225)}));
    EXPECT_EQ(r.explosions, (std::vector<int>{60}));
    EXPECT_EQ(G.GUNHP, 1000 - 190);
    EXPECT_EQ(r.count(50), 17);
}

TEST_F(Fire, LightTankFiresFlatAndHitsFromTheOtherSide) {
    unit(1, 200, 2, 200);
    r.rnd.script({100, 10, 5});
    circles(50);
    AISHOT(G);
    // Flat solution: DXX1 = -40, DYY1 = 18; positions at times 0..4, the last one not drawn.
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[2], (Spot{160, 500 - 13}));
    EXPECT_EQ(seen[4], (Spot{200 - 120, 500 - (54 - 45)}));
    EXPECT_EQ(r.explosions, (std::vector<int>{40}));
    EXPECT_EQ(G.GUNHP, 1000 - 190);
}

TEST_F(Fire, VelocityErrorsSpanTheirRanges) {
    unit(1, 700, 1, 800);
    r.rnd.script({100, 19, 9}); // DXX1 -40 + 9, DYY1 79 + 4
    circles(50);
    AISHOT(G);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[2], (Spot{700 - 31, 500 - 78}));
    r.rnd.script({100, 0, 0}); // DXX1 -40 - 10, DYY1 79 - 5
    seen.clear();
    G.gr.ClearDevice(); // the first blast's rings stay on the picture
    AISHOT(G);
    EXPECT_EQ(seen[2], (Spot{700 - 50, 500 - 69}));
}

TEST_F(Fire, GuidedRocketWithoutLockOnClimbsToTheTopAndFallsShort) {
    unit(1, 1000, 3, 650);
    G.GUNX = 1000 - 655 + 60; // 60 pixels from where the rocket comes down
    r.rnd.script({100});
    r.rnd.fallback = 10; // DFR1 = 0: the lock-on window stays empty
    std::vector<Spot> heads;
    r.look = [&, this](std::uint16_t ms) {
        if (ms != 10) return;
        Spot c = test::centreOf(r.gr, 15);
        if (c.found())
            seen.push_back(c);
        else
            heads.push_back(test::centreOf(r.gr, 14));
    };
    AISHOT(G);
    ASSERT_EQ(seen.size(), 132u);
    EXPECT_EQ(seen[0], (Spot{1005, 488}));
    EXPECT_EQ(seen[1], (Spot{1000, 482}));
    EXPECT_EQ(seen[2], (Spot{995, 476}));
    EXPECT_EQ(seen[64], (Spot{1000 - 315, 500 - 222})); // the top, after 65 steps
    int top = 1000;
    for (const Spot& s : seen) top = std::min(top, s.y);
    EXPECT_EQ(top, 500 - 222);
    EXPECT_EQ(seen[131], (Spot{1000 - 650, 502}));
    // One dive step; the yellow head is where the rocket explodes.
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0], (Spot{1000 - 655, 509}));
    EXPECT_EQ(r.explosions, (std::vector<int>{1000 - 655}));
    EXPECT_EQ(G.GUNHP, 1000 - 140);
    // One Random(40) per descending step, from the 66th on.
    EXPECT_EQ(r.rnd.asked.size(), 1u + (132 - 65));
}

TEST_F(Fire, GuidedRocketLocksOnAndDives) {
    G.GUNX = -300; // the lock-on measures from the rocket's offset, not its screen x
    unit(1, 300, 3, 650);
    r.rnd.script({100});
    r.rnd.fallback = 0; // DFR1 = -10 at every descending step
    AISHOT(G);
    // Locked on at the 98th step, 17 dive steps, down at offset -683: 83 pixels from the gun.
    EXPECT_EQ(r.count(10), 98 + 17);
    EXPECT_EQ(r.rnd.asked.size(), 1u + (98 - 65));
    EXPECT_EQ(G.GUNHP, 1000 - (200 - 83));
}

TEST_F(Fire, GuidedRocketRightOverTheGunColumnDoesNotLockOn) {
    // At the 98th step the rocket's offset equals GUNX: the slope has no value there,
    // so it seeks on and locks on later, at the 114th step.
    G.GUNX = -480;
    unit(1, 150, 3, 650);
    r.rnd.script({100});
    AISHOT(G);
    EXPECT_EQ(r.count(10), 114 + 11);
    EXPECT_EQ(G.GUNHP, 1000 - (200 - 20)); // down at offset -650, 20 pixels from the gun
}

TEST_F(Fire, GuidedRocketDivingLevelIsLostTwoThousandPixelsOut) {
    // Locked on at the very top of its climb, the rocket dives with a descent of a
    // tenth of a pixel a step, which rounds to nothing and never grows: it flies
    // level until it is 2000 pixels left of its launcher and ends there, off the field.
    G.GUNX = 700;
    unit(1, 1000, 3, 650);
    r.rnd.script({100});
    r.rnd.fallback = 0; // DFR1 = -10
    AISHOT(G);
    EXPECT_EQ(r.count(10), 66 + 36); // the 36th dive step reaches offset -2029
    EXPECT_EQ(r.rnd.asked.size(), 2u);
    EXPECT_EQ(test::centreOf(r.gr, 7).y, 500 - 222); // the smoke trail is level
    EXPECT_EQ(G.GUNHP, 1000);
}

TEST_F(Fire, SalvoOfFiveRocketsTakes708HitPoints) {
    unit(1, 500, 4, 550);
    r.rnd.script({100});
    std::vector<int> stepsPerRocket;
    int steps = 0;
    r.look = [&](std::uint16_t ms) {
        if (ms == 5)
            ++steps;
        else if (ms == 150 && steps)
            stepsPerRocket.push_back(steps), steps = 0;
    };
    AISHOT(G);
    EXPECT_EQ(r.rnd.asked, (std::vector<int>{200})); // no velocity errors in a salvo
    EXPECT_EQ(r.explosions, (std::vector<int>{138, 144, 20, 28, 32}));
    EXPECT_EQ(r.gunAtExplosion, (std::vector<int>{1000, 848, 702, 572, 434}));
    EXPECT_EQ(G.GUNHP, 1000 - 708);
    // Rockets moving 3, 3, 4, 4, 4 pixels a step, from 40 pixels right of the launcher.
    EXPECT_EQ(stepsPerRocket, (std::vector<int>{134, 132, 130, 128, 127}));
    EXPECT_EQ(r.clk.delays.back(), 100);
}

TEST_F(Fire, RangeLimitsAreStrict) {
    // 100 pixels and exactly DIST hold fire; 101 and DIST - 1 fire.
    unit(1, 150, 2, 200);
    unit(2, 151, 2, 200);
    unit(3, 50 + 800, 1, 800);
    unit(4, 50 + 799, 1, 800);
    unit(5, 50 - 101, 1, 800); // left of the gun counts by distance too
    r.rnd.fallback = 0;
    r.rnd.script({100, 100, 10, 5, 100, 100, 10, 5, 100, 10, 5});
    AISHOT(G);
    EXPECT_EQ(r.rnd.asked, (std::vector<int>{200, 200, 20, 10, 200, 200, 20, 10, 200, 20, 10}));
    EXPECT_EQ(r.explosions.size(), 3u);
}

TEST_F(Fire, UnitsThatCannotFireStillDrawTheirAim) {
    unit(1, 500, 0, 0);        // a house
    unit(2, 500, 1, 800, 0);   // a destroyed self-propelled gun
    unit(3, 500, 0, 0);        // a driving radar machine
    unit(4, 500, 4, 550, -20); // a launcher below 0 hit points
    AISHOT(G);
    EXPECT_EQ(r.rnd.asked, (std::vector<int>{200, 200, 200, 200}));
    EXPECT_TRUE(r.clk.delays.empty());
    EXPECT_EQ(G.GUNHP, 1000);
}

TEST_F(Fire, SpreadFollowsTheEscalationCounterUnitByUnit) {
    for (int obru : {1, 5, 6, 10, 11, 15}) {
        G.OBRU = static_cast<i16>(obru);
        r.rnd.asked.clear();
        unit(1, 500, 0, 0);
        AISHOT(G);
        const int want = obru <= 5 ? 200 : obru <= 10 ? 130 : 50;
        EXPECT_EQ(r.rnd.asked, (std::vector<int>{want})) << "OBRU " << obru;
        EXPECT_EQ(G.POGR, want);
    }
    // A deployed radar raises the counter, and the units after it aim tighter at once.
    G.OBRU = 10;
    r.rnd.asked.clear();
    unit(1, 550, 5, 800);
    unit(2, 500, 0, 0);
    AISHOT(G);
    EXPECT_EQ(G.OBRU, 11);
    EXPECT_EQ(r.rnd.asked, (std::vector<int>{130, 50}));
}

TEST_F(Fire, RadarFixStopsAtFifteen) {
    unit(1, 550, 5, 800);
    G.OBRU = 14;
    AISHOT(G);
    EXPECT_EQ(G.OBRU, 15);
    AISHOT(G);
    EXPECT_EQ(G.OBRU, 15);
    EXPECT_TRUE(r.clk.delays.empty()); // nothing drawn, nothing waited for
    EXPECT_EQ(G.GUNHP, 1000);
}

TEST_F(Fire, AimBeyondRangeFiresAtTheLimitOfRange) {
    // A light tank 150 pixels away with the largest error aims 249 pixels out, past its
    // 200-pixel range: it fires at 45 degrees (DXX1 = DYY1 = round(44.27 x 0.7071) = 31).
    G.GUNX = 250;
    unit(1, 400, 2, 200);
    r.rnd.script({199, 10, 5});
    circles(50);
    AISHOT(G);
    EXPECT_EQ(r.rnd.asked, (std::vector<int>{200, 20, 10}));
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[2], (Spot{400 - 31, 500 - 26}));
    // Times 0..6 drawn: 31 t - 5 t^2 < 0 first at t = 7, which lands 217 pixels short.
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_EQ(r.explosions, (std::vector<int>{400 - 217}));
    EXPECT_EQ(G.GUNHP, 1000 - (200 - 67));
}

TEST_F(Fire, EveryUnitFiresEvenAfterTheGunIsDestroyed) {
    G.GUNHP = 100;
    unit(1, 700, 1, 800);
    unit(2, 700, 1, 800);
    r.rnd.script({100, 10, 5, 100, 10, 5});
    AISHOT(G);
    EXPECT_EQ(r.explosions.size(), 2u);
    EXPECT_EQ(G.GUNHP, 100 - 380);
}

TEST(FireSeed, ReseedsFromTheClockFirst) {
    // Whatever was drawn before, two enemy phases at the same clock reading aim alike.
    std::vector<std::vector<Spot>> paths;
    for (int drawnBefore : {0, 7}) {
        EnemyRig r;
        r.G.GUNX = 50;
        r.G.OBRU = 1;
        r.G.NUMB = 1;
        r.G.unit(1) = OBJ{.X = 700, .HEALTH = 500, .SHOT = 1, .DIST = 800};
        for (int i = 0; i < drawnBefore; ++i) r.rnd.Random(1000);
        std::vector<Spot> path;
        r.look = [&](std::uint16_t ms) {
            if (ms == 50) path.push_back(test::centreOf(r.gr, 15));
        };
        AISHOT(r.G);
        paths.push_back(path);
    }
    EXPECT_FALSE(paths[0].empty());
    EXPECT_EQ(paths[0], paths[1]);
}

} // namespace
} // namespace gs
