// Health bars in the panel and the clamping of overkill damage.
#include <gtest/gtest.h>

#include "combat/health.h"
#include "tests/support/harness.h"

namespace gs::test {
namespace {

/// First and last column of `colour` on one row, searched between x0 and x1.
struct Span {
    int left = -1, right = -1;
    bool operator==(const Span&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Span& s) {
    return os << s.left << ".." << s.right;
}
Span spanOf(const Graph& g, int row, int colour, int x0, int x1) {
    Span s;
    for (int x = x0; x <= x1; ++x)
        if (g.pixel(x, row) == colour) {
            if (s.left < 0) s.left = x;
            s.right = x;
        }
    return s;
}

/// The gun far to the left, out of the way, and one unit in slot 1.
struct Bars : TestGame {
    Bars(int x, int maxhp, int hp) {
        openGraph();
        G.GUNX = 60;
        G.MAXGUNHP = 1000;
        G.GUNHP = 1000;
        G.NUMB = 1;
        G.unit(1) =
            OBJ{.X = w16(x), .TYP = T_LTANK, .HEALTH = w16(hp), .UVIS = 0, .MAXHP = w16(maxhp)};
        HEALTH(G);
    }
    Span frame() const { return spanOf(gr, 510, 15, 150, 1000); }
    Span fill() const { return spanOf(gr, 512, 4, 150, 1000); }
};

TEST(Health, LightTankWorkedExamples) {
    Bars full(400, 1000, 1000);
    EXPECT_EQ(full.frame(), (Span{385, 415}));
    EXPECT_EQ(spanOf(full.gr, 515, 15, 150, 1000), (Span{385, 415}));
    EXPECT_EQ(full.gr.pixel(415, 511), 15); // right edge, untouched by the fill
    EXPECT_EQ(full.gr.pixel(385, 511), 4);  // left edge, covered by it
    EXPECT_EQ(full.fill(), (Span{384, 414}));
    for (int row = 511; row <= 514; ++row)
        EXPECT_EQ(spanOf(full.gr, row, 4, 150, 1000), full.fill());
    EXPECT_EQ(spanOf(full.gr, 510, 4, 150, 1000), Span{});
    EXPECT_EQ(spanOf(full.gr, 515, 4, 150, 1000), Span{});

    EXPECT_EQ(Bars(400, 1000, 501).fill(), (Span{384, 399})); // 15.03 rounds to 15
    EXPECT_EQ(Bars(400, 1000, 550).fill(), (Span{384, 400})); // 16.5: the tie goes to 16
    EXPECT_EQ(Bars(400, 1000, 517).fill(), (Span{384, 400})); // 15.51 rounds up
    EXPECT_EQ(Bars(400, 1000, 450).fill(), (Span{384, 398})); // 13.5: the tie goes to 14
}

TEST(Health, BuildingFrameDependsOnWhetherXIsEven) {
    // 1500 hit points make a half width of 22.5: the left edge is always X-22, the right
    // edge rounds X+22.5 to the even neighbour.
    Bars even(400, 1500, 1500);
    EXPECT_EQ(even.frame(), (Span{378, 422}));
    Bars odd(401, 1500, 1500);
    EXPECT_EQ(odd.frame(), (Span{379, 424}));
}

TEST(Health, GunBar) {
    TestGame t;
    t.openGraph();
    t.G.GUNX = 60;
    t.G.MAXGUNHP = 1000;
    t.G.GUNHP = 400;
    t.G.NUMB = 0;
    HEALTH(t.G);
    EXPECT_EQ(spanOf(t.gr, 510, 15, 0, 200), (Span{45, 75}));
    EXPECT_EQ(spanOf(t.gr, 513, 4, 0, 200), (Span{44, 56}));
    EXPECT_EQ(t.gr.color(), 15);
    EXPECT_EQ(t.gr.fillPattern(), 1);
    EXPECT_EQ(t.gr.fillColor(), 4);
}

TEST(Health, GeometryOfEveryUnitType) {
    struct Row {
        int typ, left, rightEven, rightOdd, fillLeft, fullLength;
    };
    const Row rows[] = {
        {0, -2, 2, 1, -3, 3},      {1, -7, 7, 7, -8, 14},     {2, -22, 22, 23, -23, 45},
        {3, -45, 45, 45, -46, 90}, {4, -12, 12, 12, -13, 24}, {5, -15, 15, 15, -16, 30},
        {6, -21, 21, 21, -22, 42}, {7, -18, 18, 18, -19, 36}, {8, -2, 2, 2, -3, 4},
        {9, -15, 15, 15, -16, 30}, {10, -8, 8, 7, -9, 15},    {11, -8, 8, 7, -9, 15},
    };
    for (const Row& r : rows) {
        for (int x : {500, 501}) {
            SCOPED_TRACE(testing::Message() << "type " << r.typ << " at " << x);
            const int maxhp = maxHpOfType(r.typ);
            Bars t(x, maxhp, maxhp);
            EXPECT_EQ(t.frame(), (Span{x + r.left, x + (x % 2 ? r.rightOdd : r.rightEven)}));
            EXPECT_EQ(t.fill(), (Span{x + r.fillLeft, x + r.fillLeft + r.fullLength}));
        }
    }
}

TEST(Health, DestroyedUnitsGetNoBarWhateverTheirHitPoints) {
    TestGame t;
    t.openGraph();
    t.G.GUNX = 60;
    t.G.MAXGUNHP = 1000;
    t.G.GUNHP = 1000;
    t.G.NUMB = 3;
    t.G.unit(1) = OBJ{.X = 300, .TYP = T_SAU, .HEALTH = 900, .UVIS = 1, .MAXHP = 1200};
    t.G.unit(2) = OBJ{.X = 500, .TYP = T_SAU, .HEALTH = 0, .UVIS = 0, .MAXHP = 1200};
    t.G.unit(3) = OBJ{.X = 700, .TYP = T_SAU, .HEALTH = 900, .UVIS = 0, .MAXHP = 1200};
    HEALTH(t.G);
    EXPECT_EQ(spanOf(t.gr, 510, 15, 200, 400), Span{});
    EXPECT_EQ(spanOf(t.gr, 510, 15, 400, 600).left, 482); // a standing unit at 0 still has one
    EXPECT_EQ(spanOf(t.gr, 512, 4, 600, 800), (Span{681, 708}));
}

TEST(GarmHealth, ClampsUnitsButNeverTheGun) {
    TestGame t;
    t.G.NUMB = 4;
    t.G.unit(1).HEALTH = -301;
    t.G.unit(2).HEALTH = 0;
    t.G.unit(3).HEALTH = 25;
    t.G.unit(4).HEALTH = -32768;
    t.G.unit(4).UVIS = 1;    // destroyed units are clamped too
    t.G.unit(5).HEALTH = -9; // beyond NUMB: not part of this level
    t.G.GUNHP = -40;
    GARMHEALTH(t.G);
    EXPECT_EQ(t.G.unit(1).HEALTH, 0);
    EXPECT_EQ(t.G.unit(2).HEALTH, 0);
    EXPECT_EQ(t.G.unit(3).HEALTH, 25);
    EXPECT_EQ(t.G.unit(4).HEALTH, 0);
    EXPECT_EQ(t.G.unit(5).HEALTH, -9);
    EXPECT_EQ(t.G.GUNHP, -40);
}

TEST(GarmHealth, OddRosterSizesStayInsideTheRoster) {
    TestGame t;
    for (int i = 1; i <= MAXUNITS; ++i) t.G.unit(i).HEALTH = -1;
    t.G.NUMB = -5;
    GARMHEALTH(t.G);
    EXPECT_EQ(t.G.unit(1).HEALTH, -1);
    t.G.NUMB = 1000;
    GARMHEALTH(t.G);
    EXPECT_EQ(t.G.unit(MAXUNITS).HEALTH, 0);
}

} // namespace
} // namespace gs::test
