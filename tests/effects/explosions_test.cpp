#include <gtest/gtest.h>

#include <vector>

#include "effects/explosions.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

/// A game whose picture is painted green, so the black holes of the blasts show.
struct Blast : ::testing::Test {
    test::TestGame t;
    Game& G = t.G;
    void SetUp() override {
        t.openGraph();
        G.gr.SetFillStyle(1, 2);
        G.gr.Bar(0, 0, 1279, 1023);
    }
    int px(int x, int y) const { return t.gr.pixel(x, y); }
    void expectState(int color, int pattern) const {
        EXPECT_EQ(t.gr.color(), color);
        EXPECT_EQ(t.gr.fillPattern(), pattern);
    }
};

TEST_F(Blast, ExplodeDrawsThreeHollowRingsIn300Ms) {
    EXPLODE(G, 100, 500);
    EXPECT_EQ(px(85, 550), 15); // white ring at (85, 520), radius 30
    EXPECT_EQ(px(85, 520), 0);  // hollow
    EXPECT_EQ(px(130, 490), 4); // red ring at (110, 490), radius 20
    EXPECT_EQ(px(95, 465), 14); // yellow ring at (95, 485), radius 20, drawn last
    EXPECT_EQ(px(95, 485), 0);
    EXPECT_EQ(t.clk.delayedMs(), 300u);
    expectState(14, 0);
    // Clipped far outside the window without harm.
    EXPLODE(G, -32768, 32767);
    EXPECT_EQ(px(640, 300), 2);
}

TEST_F(Blast, ArmorBitingScattersEachRingHeightFirst) {
    t.rnd.script({0, 59, 19, 0, 29, 9}); // extreme offsets pin the ranges
    BEXPLODE(G, 400, 500);
    EXPECT_EQ(t.rnd.asked, (std::vector<int>{40, 60, 20, 40, 30, 10}));
    EXPECT_EQ(px(449, 480), 15); // white at (429, 480), radius 20
    EXPECT_EQ(px(365, 509), 4);  // red at (380, 509), radius 15
    EXPECT_EQ(px(404, 524), 14); // yellow at (404, 514), radius 10
    EXPECT_EQ(t.clk.delayedMs(), 300u);
    expectState(14, 0);
}

TEST_F(Blast, DestroyedUnitBurstsIntoFiveToNineBallsRimmedInTheColourInForce) {
    for (int extra : {0, 4}) {
        test::TestGame g;
        g.openGraph();
        g.G.gr.SetColor(15);
        g.rnd.script({extra, 0, 0}); // first ball at (-50, -50)
        g.rnd.fallback = 99;         // the rest at (+49, +49)
        XEXPLODE(g.G, 600, 500);
        ASSERT_EQ(g.rnd.asked.size(), 1u + 2u * (5 + extra));
        EXPECT_EQ(g.rnd.asked[0], 5);
        EXPECT_EQ(g.rnd.asked.back(), 100);
        EXPECT_EQ(g.clk.delayedMs(), 50u * (5 + extra));
        EXPECT_EQ(g.gr.pixel(550, 450), 14);
        EXPECT_EQ(g.gr.pixel(649, 549), 14);
        EXPECT_EQ(g.gr.pixel(649, 524), 15); // rim
        EXPECT_EQ(g.gr.color(), 15);
        EXPECT_EQ(g.gr.fillColor(), 14);
    }
}

TEST_F(Blast, NuclearStemNarrowsWithTiesToEvenUnderAGrowingCap) {
    t.rnd.fallback = 0; // every stem disc at the left end of its row
    NUCLEAR(G, 600, 500);
    ASSERT_EQ(t.rnd.asked.size(), 4000u);
    auto widthAt = [&](int frame) { return t.rnd.asked[static_cast<std::size_t>(40 * frame - 1)]; };
    const std::pair<int, int> widths[] = {{1, 200}, {2, 100}, {3, 67}, {16, 12},
                                          {67, 3},  {80, 2},  {100, 2}};
    for (auto [frame, w] : widths) EXPECT_EQ(widthAt(frame), w) << frame; // 12.5 -> 12, 2.5 -> 2
    EXPECT_EQ(t.clk.delayedMs(), 500u);
    EXPECT_EQ(px(500, 499), 7); // frame 1's stem row: one above the ground, from U - 100
    // The last cap: over the stem disc at (599, 400), radii (101, 50), 15 px above it.
    EXPECT_EQ(px(599, 335), 14);
    EXPECT_EQ(px(599, 285), 15);
    EXPECT_EQ(px(700, 335), 15);
    EXPECT_EQ(px(599, 386), 0); // the cap before it, 2 px lower, was erased
    expectState(15, 1);
    EXPECT_EQ(t.gr.fillColor(), 14);
}

} // namespace
} // namespace gs
