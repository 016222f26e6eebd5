#include <gtest/gtest.h>

#include "combat/flight.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

/// A flight over a green picture, so the erased circles leave black marks.
struct Flight : ::testing::Test {
    test::TestGame t;
    Game& G = t.G;
    void SetUp() override {
        t.openGraph();
        G.gr.SetFillStyle(1, 2);
        G.gr.Bar(0, 0, 1279, 1023);
        G.GUNX = 50;
    }
    void unit(i16 x, i16 gx, i16 gy) {
        OBJ& o = G.unit(++G.NUMB);
        o.X = x;
        o.GX = gx;
        o.GY = gy;
    }
    void shoot(i16 dx, i16 dy) {
        G.DX = dx;
        G.DY = dy;
        FLY(G);
    }
    /// The circle at (x, y) was drawn and erased: its right-hand point is black.
    bool circleAt(int x, int y) const { return t.gr.pixel(x + 3, y) == 0; }
};

TEST_F(Flight, OpenFieldShotLandsAfterDyPlusTwoPasses) {
    unit(2000, 60, 50); // far beyond the landing point
    unit(480, 0, 0);    // a wreck in the way: its empty box stops nothing
    shoot(21, 21);
    EXPECT_EQ(G.X, 462);
    EXPECT_EQ(G.Y, -22);
    EXPECT_EQ(G.T, 23);
    EXPECT_EQ(t.clk.delayedMs(), 23u * 50u); // one circle per pass
    for (auto [x, y] :
         {std::pair{50, 495}, {50, 500}, {71, 480}, {92, 462}, {470, 480}, {491, 500}})
        EXPECT_TRUE(circleAt(x, y)) << x << "," << y;
    EXPECT_FALSE(circleAt(512, 522)); // the stop point is left to the explosion
    EXPECT_EQ(t.gr.color(), 0);
}

TEST_F(Flight, UnitInTheWayStopsTheShellInsideItsBox) {
    unit(2000, 60, 50);
    unit(480, 60, 50); // every entry is tested, not only the first
    shoot(21, 21);
    EXPECT_EQ(G.X, 420);
    EXPECT_EQ(G.Y, 20);
    EXPECT_EQ(G.T, 21);
    EXPECT_TRUE(circleAt(449, 462));
    EXPECT_FALSE(circleAt(470, 480));
}

TEST_F(Flight, EmptyRosterAndLowShotsEndAtTheGround) {
    G.NUMB = 0;
    shoot(21, 21);
    EXPECT_EQ(G.X, 462);
    EXPECT_EQ(G.T, 23);
    G.NUMB = -5;
    shoot(-7, -5); // flies left and down: stops at time 1
    EXPECT_EQ(G.X, -7);
    EXPECT_EQ(G.Y, -6);
    EXPECT_EQ(G.T, 2);
    shoot(-32768, -32768); // time 1 wraps to a positive height, time 2 is underground
    EXPECT_EQ(G.T, 3);
}

TEST(HitBox, IsStrictOnAllThreeSidesWithNoFloor) {
    OBJ o;
    o.X = 100;
    o.GX = 20;
    o.GY = 50;
    EXPECT_FALSE(inHitBox(o, 0, 90, 10)); // edges
    EXPECT_TRUE(inHitBox(o, 0, 91, 10));
    EXPECT_FALSE(inHitBox(o, 0, 110, 10));
    EXPECT_FALSE(inHitBox(o, 0, 100, 50)); // exactly at its height
    EXPECT_TRUE(inHitBox(o, 0, 100, -30000));
    EXPECT_TRUE(inHitBox(o, 60, 40, 49)); // the column is GUNX + X
    o.GX = 7;                             // half of 3.5 rounds to 4
    EXPECT_TRUE(inHitBox(o, 0, 97, 0));
    o.X = 32767; // the column is compared at full width, never wrapped
    EXPECT_TRUE(inHitBox(o, 32000, 770, 0));
}

TEST(ShellPosition, EveryVerticalSpeedComesDownWithin364Passes) {
    // The stored height wraps negative as soon as the true height passes 32767, so even
    // the fastest shot ends soon: the longest flight is DY = 362, with 364 passes.
    int longest = 0, longestDy = 0;
    for (int dy = -32768; dy <= 32767; ++dy) {
        int passes = 0;
        i16 x = 0, y = 0;
        do {
            shellAt(32767, static_cast<i16>(dy), static_cast<i16>(passes++), x, y);
            ASSERT_LE(passes, 364) << "DY " << dy;
        } while (y >= 0);
        if (passes > longest) longest = passes, longestDy = dy;
    }
    EXPECT_EQ(longest, 364);
    EXPECT_EQ(longestDy, 362);
    i16 x = 0, y = 0;
    shellAt(-32768, -32768, 1, x, y);
    EXPECT_EQ(y, 32767); // -32769 keeps its low 16 bits
}

TEST(Aim, SpeedAndAngleGiveTheStepVelocity) {
    struct Case {
        i16 v, a, dx, dy;
    };
    const Case cases[] = {
        {100, 90, -1, 100}, {100, 45, 70, 71}, {50, 45, 35, 35}, {100, 0, 100, 0},
        {-100, 0, -100, 0}, {0, 30, 0, 0},     {30, 45, 21, 21}, {32767, 0, 32767, 0},
    };
    for (const Case& c : cases) {
        i16 dx = 0, dy = 0;
        shotVelocity(c.v, c.a, dx, dy);
        EXPECT_EQ(dx, c.dx) << c.v << " " << c.a;
        EXPECT_EQ(dy, c.dy) << c.v << " " << c.a;
    }
}

} // namespace
} // namespace gs
