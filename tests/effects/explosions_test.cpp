#include <gtest/gtest.h>

#include <vector>

#include "effects/explosions.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

using test::TestGame;

/// A game whose picture is painted green, so black holes show.
struct Blast : ::testing::Test {
    TestGame t;
    Game& G = t.G;
    void SetUp() override {
        t.openGraph();
        G.gr.SetFillStyle(1, 2);
        G.gr.Bar(0, 0, 1279, 1023);
    }
    int px(int x, int y) const { return t.gr.pixel(x, y); }
};

TEST_F(Blast, ExplodeDrawsThreeHollowRingsAndLeavesYellowEmptyFill) {
    EXPLODE(G, 100, 500);
    // White ring centred at (85, 520), radius 30: its bottom and left rim survive.
    EXPECT_EQ(px(85, 550), 15);
    EXPECT_EQ(px(55, 520), 15);
    EXPECT_EQ(px(85, 520), 0); // hollow
    // Red ring at (110, 490), radius 20: its right rim is outside the last ring.
    EXPECT_EQ(px(130, 490), 4);
    EXPECT_EQ(px(110, 510), 4);
    // Yellow ring at (95, 485), radius 20, drawn last.
    EXPECT_EQ(px(95, 465), 14);
    EXPECT_EQ(px(75, 485), 14);
    EXPECT_EQ(px(95, 485), 0);
    EXPECT_EQ(px(200, 500), 2); // nothing far away is touched
    EXPECT_EQ(t.clk.delayedMs(), 300u);
    EXPECT_EQ(t.gr.color(), 14);
    EXPECT_EQ(t.gr.fillPattern(), 0);
    EXPECT_TRUE(t.rnd.asked.empty());
}

TEST_F(Blast, ArmorBitingScattersEachRingHeightFirst) {
    // Disc 1: y then x; disc 2; disc 3. Extreme offsets are chosen to pin the ranges.
    t.rnd.script({0, 59, 19, 0, 29, 9});
    BEXPLODE(G, 400, 500);
    EXPECT_EQ(t.rnd.asked, (std::vector<int>{40, 60, 20, 40, 30, 10}));
    // White ring at (400 + 29, 500 - 20) radius 20.
    EXPECT_EQ(px(429, 460), 15);
    EXPECT_EQ(px(449, 480), 15);
    // Red ring at (400 - 20, 500 + 9) radius 15.
    EXPECT_EQ(px(380, 524), 4);
    EXPECT_EQ(px(365, 509), 4);
    // Yellow ring at (400 + 4, 500 + 14) radius 10.
    EXPECT_EQ(px(404, 504), 14);
    EXPECT_EQ(px(404, 524), 14);
    EXPECT_EQ(px(404, 514), 0);
    EXPECT_EQ(t.clk.delayedMs(), 300u);
    EXPECT_EQ(t.gr.color(), 14);
    EXPECT_EQ(t.gr.fillPattern(), 0);
}

TEST_F(Blast, DestroyedUnitBurstsIntoFiveToNineBallsWithTheRimLeftInForce) {
    for (int extra : {0, 4}) {
        TestGame g;
        g.openGraph();
        g.G.gr.SetColor(15);
        g.rnd.script({extra});
        g.rnd.fallback = 99; // every ball at (+49, +49)
        XEXPLODE(g.G, 600, 500);
        const int balls = 5 + extra;
        ASSERT_EQ(g.rnd.asked.size(), 1u + 2u * balls);
        EXPECT_EQ(g.rnd.asked[0], 5);
        for (std::size_t i = 1; i < g.rnd.asked.size(); ++i) EXPECT_EQ(g.rnd.asked[i], 100);
        EXPECT_EQ(g.clk.delayedMs(), 50u * balls);
        EXPECT_EQ(g.gr.pixel(649, 549), 14); // solid yellow inside
        EXPECT_EQ(g.gr.pixel(649, 524), 15); // rim in the colour found in force
        EXPECT_EQ(g.gr.color(), 15);
        EXPECT_EQ(g.gr.fillPattern(), 1);
        EXPECT_EQ(g.gr.fillColor(), 14);
    }
}

TEST_F(Blast, DestroyedUnitBallOffsetsSpanMinus50To49InEachAxis) {
    t.rnd.script({0, 0, 99, 99, 0, 50, 50, 0, 99, 99, 0});
    G.gr.SetColor(4);
    XEXPLODE(G, 600, 500);
    EXPECT_EQ(px(550, 549), 14); // dx -50, dy +49
    EXPECT_EQ(px(649, 450), 14); // dx +49, dy -50
    EXPECT_EQ(px(600, 500), 14); // dx 0, dy 0
    EXPECT_EQ(px(550, 574), 4);  // rim of the first ball
}

TEST_F(Blast, NuclearStemNarrowsWithTiesToEvenAndEndsUnderTheFullCap) {
    t.rnd.fallback = 0; // every stem disc at the left end of its row
    NUCLEAR(G, 600, 500);
    ASSERT_EQ(t.rnd.asked.size(), 4000u);
    auto widthAt = [&](int frame) { return t.rnd.asked[static_cast<std::size_t>(40 * (frame - 1))]; };
    EXPECT_EQ(widthAt(1), 200);
    EXPECT_EQ(widthAt(2), 100);
    EXPECT_EQ(widthAt(3), 67);
    EXPECT_EQ(widthAt(16), 12); // 12.5 rounds to the even 12
    EXPECT_EQ(widthAt(48), 4);
    EXPECT_EQ(widthAt(67), 3);
    EXPECT_EQ(widthAt(80), 2); // 2.5 rounds to 2
    EXPECT_EQ(widthAt(100), 2);
    for (int k = 1; k <= 100; ++k)
        for (int s = 0; s < 40; ++s)
            ASSERT_EQ(t.rnd.asked[static_cast<std::size_t>(40 * (k - 1) + s)], widthAt(k));
    EXPECT_EQ(t.clk.delayedMs(), 500u);

    // Frame 1's stem row sits one pixel above the ground at U - 100.
    EXPECT_EQ(px(500, 499), 7);
    // The last frame's cap: anchor (599, 400), radii (101, 50), 15 px above the stem.
    const int cx = 599, cy = 400 - 50 - 15;
    EXPECT_EQ(px(cx, cy), 14);
    EXPECT_EQ(px(cx, cy - 50), 15);
    EXPECT_EQ(px(cx, cy + 50), 15);
    EXPECT_EQ(px(cx + 101, cy), 15);
    EXPECT_EQ(px(cx - 101, cy), 15);
    EXPECT_EQ(px(cx, cy + 51), 0); // the cap before it sat 2 px lower and was erased
    EXPECT_EQ(t.gr.color(), 15);
    EXPECT_EQ(t.gr.fillPattern(), 1);
    EXPECT_EQ(t.gr.fillColor(), 14);
    EXPECT_EQ(t.gr.lineThickness(), 1);
}

TEST_F(Blast, ExplosionsOutsideTheWindowAreClipped) {
    t.rnd.fallback = 0;
    EXPLODE(G, -32768, 32767);
    BEXPLODE(G, 32767, -32768);
    XEXPLODE(G, 32767, 32767); // offsets wrap to the far side of the 16-bit range
    NUCLEAR(G, -32768, -32768);
    EXPLODE(G, 0, 0);
    EXPECT_EQ(px(640, 512), 2);
}

} // namespace
} // namespace gs
