#include <gtest/gtest.h>

#include "combat/flight.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

using test::TestGame;

/// A flight over a green picture, so the erased circles leave black marks.
struct Flight : ::testing::Test {
    TestGame t;
    Game& G = t.G;
    void SetUp() override {
        t.openGraph();
        G.gr.SetFillStyle(1, 2);
        G.gr.Bar(0, 0, 1279, 1023);
    }
    void shoot(i16 dx, i16 dy, i16 gunx = 50) {
        G.DX = dx;
        G.DY = dy;
        G.GUNX = gunx;
        FLY(G);
    }
    /// The right-hand point of the circle at (x, y) was drawn and erased.
    bool circleAt(int x, int y) const { return t.gr.pixel(x + 3, y) == 0; }
    void unitAt(int i, i16 x, i16 gx, i16 gy) {
        G.NUMB = static_cast<i16>(i);
        G.unit(i) = OBJ{};
        G.unit(i).X = x;
        G.unit(i).GX = gx;
        G.unit(i).GY = gy;
    }
};

TEST_F(Flight, OpenFieldShotLandsAfterDyPlusTwoPasses) {
    unitAt(1, 2000, 60, 50); // far beyond the landing point
    shoot(21, 21);
    EXPECT_EQ(G.X, 462);
    EXPECT_EQ(G.Y, -22);
    EXPECT_EQ(G.T, 23);
    EXPECT_EQ(G.EX, 1);
    EXPECT_EQ(t.clk.delayedMs(), 23u * 50u); // one circle per pass
    for (auto [x, y] : {std::pair{50, 495}, {50, 500}, {71, 480}, {92, 462}, {470, 480}, {491, 500}})
        EXPECT_TRUE(circleAt(x, y)) << x << "," << y;
    EXPECT_FALSE(circleAt(512, 522)); // the stop point is left to the explosion
    EXPECT_EQ(t.gr.color(), 0);
}

TEST_F(Flight, UnitInTheWayStopsTheShellInsideItsBox) {
    unitAt(1, 480, 60, 50);
    shoot(21, 21);
    EXPECT_EQ(G.X, 420);
    EXPECT_EQ(G.Y, 20);
    EXPECT_EQ(G.T, 21);
    EXPECT_EQ(t.clk.delayedMs(), 21u * 50u);
    EXPECT_TRUE(circleAt(449, 462));
    EXPECT_FALSE(circleAt(470, 480));
}

TEST_F(Flight, EveryEntryIsTestedAndNoneIsChanged) {
    unitAt(1, 2000, 60, 50);
    unitAt(2, 480, 60, 50);
    unitAt(3, 3000, 10, 10);
    const auto before = G.OBJS;
    shoot(21, 21);
    EXPECT_EQ(G.X, 420); // the second entry stopped it
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(G.unit(i).X, before[i].X);
        EXPECT_EQ(G.unit(i).GX, before[i].GX);
        EXPECT_EQ(G.unit(i).GY, before[i].GY);
    }
}

TEST_F(Flight, DestroyedUnitNeverStopsTheShell) {
    unitAt(1, 480, 0, 0);
    shoot(21, 21);
    EXPECT_EQ(G.X, 462);
    EXPECT_EQ(G.Y, -22);
}

TEST_F(Flight, EmptyRosterStillEndsAtTheGround) {
    G.NUMB = 0;
    shoot(21, 21);
    EXPECT_EQ(G.X, 462);
    EXPECT_EQ(G.Y, -22);
    EXPECT_EQ(G.T, 23);
    G.NUMB = -5; // a roster count below zero is an empty roster too
    shoot(3, 0);
    EXPECT_EQ(G.X, 3);
    EXPECT_EQ(G.Y, -1);
}

TEST_F(Flight, FlatOrDownwardShotsStopBesideTheGunAtTimeOne) {
    unitAt(1, 2000, 60, 50);
    shoot(40, 0);
    EXPECT_EQ(G.X, 40);
    EXPECT_EQ(G.Y, -1);
    EXPECT_EQ(G.T, 2);
    shoot(-7, -5);
    EXPECT_EQ(G.X, -7); // a negative speed flies to the left
    EXPECT_EQ(G.Y, -6);
    EXPECT_EQ(G.T, 2);
}

TEST(HitBox, IsStrictOnAllThreeSidesWithNoFloor) {
    OBJ o;
    o.X = 100;
    o.GX = 20;
    o.GY = 50;
    EXPECT_FALSE(inHitBox(o, 0, 90, 10));  // left edge
    EXPECT_TRUE(inHitBox(o, 0, 91, 10));
    EXPECT_TRUE(inHitBox(o, 0, 109, 10));
    EXPECT_FALSE(inHitBox(o, 0, 110, 10)); // right edge
    EXPECT_FALSE(inHitBox(o, 0, 100, 50)); // exactly at its height
    EXPECT_TRUE(inHitBox(o, 0, 100, 49));
    EXPECT_TRUE(inHitBox(o, 0, 100, -30000)); // below the ground counts
    EXPECT_TRUE(inHitBox(o, 60, 40, 0));     // the column is GUNX + X
    o.GX = 5;                                // half of 2.5 rounds to 2
    EXPECT_FALSE(inHitBox(o, 0, 98, 0));
    EXPECT_TRUE(inHitBox(o, 0, 99, 0));
    o.GX = 7;                                // half of 3.5 rounds to 4
    EXPECT_TRUE(inHitBox(o, 0, 97, 0));
    o.GX = 0;
    o.GY = 0;
    EXPECT_FALSE(inHitBox(o, 0, 100, -5));
}

TEST(HitBox, ComparesAtFullWidthWithoutWrapping) {
    OBJ o;
    o.X = 32767;
    o.GX = 20;
    o.GY = 50;
    // The box reaches 32757..32777; GUNX + X = 32770 is inside it, not wrapped away.
    EXPECT_TRUE(inHitBox(o, 32000, 770, 0));
    EXPECT_FALSE(inHitBox(o, 32000, 780, 0));
}

TEST(ShellPosition, ProductsAreFormedWideAndStoredAs16Bits) {
    i16 x = 0, y = 0;
    shellAt(21, 21, 20, x, y);
    EXPECT_EQ(x, 420);
    EXPECT_EQ(y, 20);
    shellAt(30000, 300, 3, x, y);
    EXPECT_EQ(x, w16(90000));
    EXPECT_EQ(y, 891);
    shellAt(-32768, -32768, 1, x, y);
    EXPECT_EQ(x, -32768);
    EXPECT_EQ(y, 32767); // -32769 keeps its low 16 bits
}

TEST(ShellPosition, EveryVerticalSpeedComesDownWithin364Passes) {
    // The stored height wraps negative as soon as the true height passes 32767, so even
    // the fastest shot ends quickly: the longest flight is DY = 362, with 364 passes.
    int longest = 0, longestDy = 0;
    for (int dy = -32768; dy <= 32767; ++dy) {
        int passes = 0;
        i16 x = 0, y = 0;
        do {
            shellAt(1, static_cast<i16>(dy), static_cast<i16>(passes), x, y);
            ++passes;
            ASSERT_LE(passes, 364) << "DY " << dy;
        } while (y >= 0);
        if (passes > longest) {
            longest = passes;
            longestDy = dy;
        }
    }
    EXPECT_EQ(longest, 364);
    EXPECT_EQ(longestDy, 362);
}

TEST_F(Flight, VeryFastShotsEndWithoutHangingWhenThePositionWraps) {
    unitAt(1, 700, 60, 50);
    shoot(707, 707); // speed 1000 at 45 degrees
    EXPECT_EQ(G.EX, 1);
    EXPECT_LE(G.T, 364);
    shoot(32767, 32767);
    EXPECT_EQ(G.EX, 1);
    EXPECT_LE(G.T, 364);
    shoot(-32768, -32768);
    EXPECT_EQ(G.EX, 1);
    EXPECT_EQ(G.T, 3); // time 1 wraps to a positive height, time 2 is below ground
}

} // namespace
} // namespace gs
