#include <gtest/gtest.h>

#include <vector>

#include "combat/enemy_fire.h"
#include "combat/movement.h"
#include "render/sprites.h"
#include "system/runtime_error.h"
#include "tests/combat/enemy_rig.h"

namespace gs {
namespace {

using test::EnemyRig;

struct Move : ::testing::Test {
    EnemyRig r{1280, 600, "k"};
    Game& G = r.G;
    void SetUp() override {
        G.GUNX = 50;
        G.GUNHP = 1000;
        G.OBRU = 1;
        G.RADAR = 1;
    }
    /// A unit as the battle leaves it: placed, at full hit points, drawn once.
    OBJ& place(int i, int typ, int x) {
        G.NUMB = static_cast<i16>(std::max<int>(G.NUMB, i));
        OBJ& u = G.unit(i);
        u = OBJ{};
        u.TYP = static_cast<i16>(typ);
        u.X = static_cast<i16>(x);
        u.HEALTH = maxHpOfType(typ);
        return u;
    }
    void draw() {
        G.gr.SetColor(15);
        PAINTOBJ(G);
    }
};

/// Leftmost and rightmost white column within x0..x1 (INT_MAX/INT_MIN when none).
std::pair<int, int> whiteSpan(const Graph& g, int x0, int x1) {
    int lo = INT_MAX, hi = INT_MIN;
    for (int y = 0; y < g.height(); ++y)
        for (int x = std::max(0, x0); x <= std::min(x1, g.width() - 1); ++x)
            if (g.pixel(x, y) == 15) lo = std::min(lo, x), hi = std::max(hi, x);
    return {lo, hi};
}

TEST_F(Move, AdvanceIsPixelByPixelWithTheRosterRedrawn) {
    place(1, T_LTANK, 600);
    place(2, T_HOUSE, 900);
    draw();
    const auto tank0 = whiteSpan(r.gr, 450, 750);
    const auto house0 = whiteSpan(r.gr, 800, 1279);
    r.rnd.script({0}); // ZN = -1
    std::vector<std::pair<int, int>> tank;
    bool houseKept = true;
    r.look = [&](std::uint16_t) {
        tank.push_back(whiteSpan(r.gr, 450, 750));
        houseKept = houseKept && whiteSpan(r.gr, 800, 1279) == house0;
    };
    MOVE(G);
    EXPECT_EQ(G.unit(1).X, 600 - 35);
    EXPECT_EQ(r.clk.delays, std::vector<std::uint16_t>(35, 10));
    // Each frame shows the tank one pixel further left, erased behind itself.
    ASSERT_EQ(tank.size(), 35u);
    for (int k = 0; k < 35; ++k) {
        EXPECT_EQ(tank[k].first, tank0.first - (k + 1)) << "frame " << k;
        EXPECT_EQ(tank[k].second, tank0.second - (k + 1)) << "frame " << k;
    }
    EXPECT_TRUE(houseKept);
    EXPECT_EQ(r.rnd.asked, (std::vector<int>{2})); // the house never draws
    EXPECT_FALSE(G.LOSE);
    EXPECT_EQ(G.ZN, -1);
    EXPECT_EQ(G.XS, 600);
}

TEST_F(Move, AStayingUnitDrawsNothing) {
    place(1, T_LTANK, 600);
    draw();
    r.rnd.script({1}); // ZN = 0
    MOVE(G);
    EXPECT_EQ(G.unit(1).X, 600);
    EXPECT_TRUE(r.clk.delays.empty());
}

TEST_F(Move, ImmobileAndDestroyedUnitsNeverMoveNorDraw) {
    place(1, T_ENEMYGUN, 600);
    place(2, T_BUNKER, 700);
    place(3, T_LTANK, 800).HEALTH = 0;
    place(4, T_RADARMACH, 900);
    G.RADAR = 2; // deployed: speed 0
    draw();
    MOVE(G);
    EXPECT_TRUE(r.rnd.asked.empty());
    EXPECT_EQ(G.unit(3).X, 800);
    EXPECT_FALSE(G.MOVING);
}

TEST_F(Move, LightTankOverrunsTheGunAtItsTwentyFirstPixel) {
    place(1, T_LTANK, 90);
    place(2, T_LTANK, 400);
    draw();
    r.rnd.script({0, 0});
    MOVE(G);
    // At X = 70, 20 pixels from the gun, it goes on; at X = 69 the gun is overrun.
    EXPECT_EQ(G.unit(1).X, 69);
    EXPECT_EQ(r.count(10), 21);
    EXPECT_EQ(r.explosions, (std::vector<int>{50}));
    EXPECT_TRUE(G.LOSE);
    EXPECT_NE(r.term.output.find("\xD0\xA3\xD0\x91\xD0\x98\xD0\xA2"), std::string::npos); // УБИТ
    // The key is waited for but left for the question that follows; the later tank stays.
    EXPECT_EQ(r.term.pending(), 0u);
    EXPECT_TRUE(G.con.KeyPressed());
    EXPECT_EQ(G.unit(2).X, 400);
    EXPECT_EQ(r.rnd.asked, (std::vector<int>{2}));
}

TEST_F(Move, AUnitLeftOfTheGunOverrunsItAtOnce) {
    place(1, T_TRANSPORTBTR, 30); // placed by a level beside the gun
    draw();
    r.rnd.script({0});
    MOVE(G);
    EXPECT_EQ(G.unit(1).X, 29);
    EXPECT_EQ(r.count(10), 1);
    EXPECT_TRUE(G.LOSE);
}

TEST_F(Move, AUnitWhoseAdvanceWrapsReachesTheGunInOneStep) {
    // At -32768 the first pixel of an advance wraps the 16-bit position to 32767, and the
    // target below -32768 is never met: the walk ends only at the gun. The unit arrives in
    // one step at the first pixel that overruns it, not some 32,700 pixels later.
    for (int gunX : {50, 32000, 32767}) {
        SCOPED_TRACE(gunX);
        EnemyRig q(640, 600, "k");
        q.G.GUNX = static_cast<i16>(gunX);
        q.G.NUMB = 2;
        q.G.unit(1) = OBJ{.X = -32768, .TYP = T_LTANK, .HEALTH = 500, .SPEED = 35};
        q.G.unit(2) = OBJ{.X = 400, .TYP = T_LTANK, .HEALTH = 500, .SPEED = 35};
        q.rnd.script({0, 0});
        MOVE(q.G);
        EXPECT_EQ(q.G.unit(1).X, std::min(gunX + 19, 32767));
        EXPECT_EQ(q.count(10), 1);
        EXPECT_TRUE(q.G.LOSE);
        EXPECT_EQ(q.G.unit(2).X, 400);
    }
    // One pixel further right nothing wraps: the first pixel, -32768, overruns the gun.
    place(1, T_LTANK, -32767);
    draw();
    r.rnd.script({0});
    MOVE(G);
    EXPECT_EQ(G.unit(1).X, -32768);
    EXPECT_EQ(r.count(10), 1);
    EXPECT_TRUE(G.LOSE);
}

TEST_F(Move, OverrunWithoutAKeyLeftEndsTheInputCleanly) {
    // A scripted player whose input has ended cannot answer the key wait: the game
    // ends with the input error, it does not hang.
    EnemyRig q(640, 600, "");
    q.G.GUNX = 50;
    q.G.NUMB = 1;
    q.G.unit(1) = OBJ{.X = 70, .TYP = T_LTANK, .HEALTH = 500, .SPEED = 35};
    q.rnd.script({0});
    int code = 0;
    try {
        MOVE(q.G);
    } catch (const RuntimeError& e) {
        code = e.code;
    }
    EXPECT_EQ(code, RE_INPUT_ENDED);
    EXPECT_TRUE(q.G.LOSE);
}

TEST(Radar, DoesNothingBeforeAnyRadarMachineWasDrawn) {
    EnemyRig r;
    r.G.RDRNMB = 0;
    r.G.RADAR = 1;
    r.G.GUNX = 50;
    r.G.unit(0).X = 60; // the unused slot 0 must not be read
    RADARMACH(r.G);
    EXPECT_EQ(r.G.RADAR, 1);
    r.G.RDRNMB = 21; // nor anything past the roster
    RADARMACH(r.G);
    EXPECT_EQ(r.G.RADAR, 1);
}

TEST(Radar, SwitchesAroundEightHundredPixels) {
    EnemyRig r;
    Game& G = r.G;
    G.GUNX = 50;
    G.RDRNMB = 3;
    struct Case {
        int x, from, to;
    };
    // Distance 800 keeps the mode either way; left of the gun counts by distance too;
    // a mode other than 1 or 2 is left alone.
    for (Case c : {Case{850, 1, 1}, Case{850, 2, 2}, Case{849, 1, 2}, Case{849, 2, 2},
                   Case{851, 2, 1}, Case{851, 1, 1}, Case{-750, 1, 1}, Case{-750, 2, 2},
                   Case{-751, 2, 1}, Case{-749, 1, 2}, Case{849, 0, 0}, Case{851, 3, 3}}) {
        G.unit(3).X = static_cast<i16>(c.x);
        G.RADAR = static_cast<i16>(c.from);
        RADARMACH(G);
        EXPECT_EQ(G.RADAR, c.to) << "x " << c.x << " from " << c.from;
    }
}

TEST_F(Move, RadarMachineDrivesInDeploysAtSevenFiftyAndRaisesTheCounter) {
    place(1, T_RADARMACH, 50 + 850);
    r.rnd.script({100, 0}); // the enemy phase: its aim, then its advance
    draw();
    EXPECT_EQ(G.RDR, 1);
    EXPECT_EQ(G.RDRNMB, 1);
    AISHOT(G);
    MOVE(G);
    RADARMACH(G);
    EXPECT_EQ(G.unit(1).X, 50 + 800);
    EXPECT_EQ(G.RADAR, 1); // 800 is not below 800
    r.rnd.script({100, 0});
    draw();
    AISHOT(G);
    MOVE(G);
    RADARMACH(G);
    EXPECT_EQ(G.unit(1).X, 50 + 750);
    EXPECT_EQ(G.RADAR, 2);
    // From the next redraw it stands still and fixes the gun in every enemy fire.
    draw();
    EXPECT_EQ(G.unit(1).SPEED, 0);
    r.rnd.script({100});
    const i16 obru = G.OBRU;
    AISHOT(G);
    MOVE(G);
    EXPECT_EQ(G.OBRU, obru + 1);
    EXPECT_EQ(G.unit(1).X, 50 + 750);
}

} // namespace
} // namespace gs
