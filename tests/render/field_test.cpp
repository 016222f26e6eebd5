// The battlefield furniture and the player's gun.
#include <gtest/gtest.h>

#include "render/field.h"
#include "tests/render/picture_util.h"
#include "tests/support/harness.h"

namespace gs::test {
namespace {

/// Pixels of `a` and `b` that differ inside the rectangle.
int differences(const Graph& a, const Graph& b, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

/// A black picture of the given size, to draw what FIELD should have drawn.
struct Blank : TestGame {
    Blank(int w, int h) : TestGame({}, w, h) { openGraph(); }
};

/// One counter row as it should look: the label, then the count over its blank cell.
void counterRow(Graph& g, int y, const char* label, int count) {
    g.OutTextXY(10, w16(y), label);
    g.OutTextXY(40, w16(y), std::to_string(count));
}

struct Field : TestGame {
    explicit Field(int w = 1280, int h = 1024) : TestGame({}, w, h) {
        openGraph();
        G.FS = 7;
        G.BS = 3;
        G.TS = 12;
        G.OBRU = 1;
    }
};

TEST(Field, CounterRowsSitAtTheirPlacesAndEmptyStocksLeaveGaps) {
    struct Case {
        i16 FS, BS, TS;
    };
    for (Case c : {Case{7, 3, 12}, Case{0, 3, 0}, Case{-2, 0, 250}, Case{0, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << c.FS << " " << c.BS << " " << c.TS);
        Field t;
        t.G.FS = c.FS;
        t.G.BS = c.BS;
        t.G.TS = c.TS;
        FIELD(t.G);

        Blank ref(1280, 1024);
        if (c.FS > 0) counterRow(ref.gr, 1023 - 40, "f - ", c.FS);
        if (c.BS > 0) counterRow(ref.gr, 1023 - 30, "b - ", c.BS);
        if (c.TS > 0) counterRow(ref.gr, 1023 - 20, "t - ", c.TS);
        // The whole panel inside the frame, where only the counters are drawn.
        EXPECT_EQ(differences(t.gr, ref.gr, 2, 501, 1277, 1021), 0);
    }
}

TEST(Field, FrameFollowsTheWindowAndTakesTheColourInForce) {
    Field t;
    t.G.FS = t.G.BS = t.G.TS = 0;
    t.gr.SetColor(14);
    FIELD(t.G);
    const Graph& g = t.gr;
    EXPECT_EQ(g.pixel(1, 500), 14); // top edge is the ground line
    EXPECT_EQ(g.pixel(640, 500), 14);
    EXPECT_EQ(g.pixel(1, 800), 14);    // left
    EXPECT_EQ(g.pixel(1278, 800), 14); // right
    EXPECT_EQ(g.pixel(640, 1022), 14); // bottom
    EXPECT_EQ(g.pixel(0, 800), 0);
    EXPECT_EQ(g.pixel(1279, 800), 0);
    EXPECT_EQ(g.pixel(640, 1023), 0);
    EXPECT_EQ(g.pixel(640, 499), 0);
    // Colour 15 is in force for the sprites that come next.
    EXPECT_EQ(g.color(), 15);
    // Nothing drawn above the ground line but the indicator.
    EXPECT_EQ(boxOf(g, [](int c) { return c == 14; }), (Box{1, 500, 1278, 1022}));
}

TEST(Field, IndicatorColourFollowsTheEscalation) {
    struct Case {
        int OBRU, fill;
    };
    for (Case c : {Case{1, 2}, Case{5, 2}, Case{6, 14}, Case{10, 14}, Case{11, 4}, Case{15, 4}}) {
        SCOPED_TRACE(c.OBRU);
        Field t;
        t.G.OBRU = w16(c.OBRU);
        FIELD(t.G);
        const Graph& g = t.gr;
        EXPECT_EQ(g.fillPattern(), 1);
        EXPECT_EQ(g.fillColor(), c.fill);
        EXPECT_EQ(g.color(), 15);
        // A 31 by 31 square, 100 pixels in from the right edge, with the count in black on it.
        EXPECT_EQ(boxOf(g, [&](int p) { return p == c.fill; }), (Box{1179, 100, 1209, 130}));
        const int lit = countColour(g, c.fill, 1179, 100, 1209, 130);
        EXPECT_LT(lit, 31 * 31);
        EXPECT_GT(lit, 31 * 31 - 80);
        EXPECT_EQ(t.G.TSS, std::to_string(c.OBRU));

        // The digits are exactly the counter's text at (GetMaxX-90, 110).
        Blank ref(1280, 1024);
        ref.gr.SetFillStyle(1, c.fill);
        ref.gr.Bar(1179, 100, 1209, 130);
        ref.gr.SetColor(0);
        ref.gr.OutTextXY(1189, 110, std::to_string(c.OBRU));
        EXPECT_EQ(differences(g, ref.gr, 1100, 90, 1279, 140), 0);
    }
}

TEST(Field, CounterOutsideItsRangeKeepsTheFillInForce) {
    for (int obru : {0, 16, -3}) {
        SCOPED_TRACE(obru);
        Field t;
        t.G.OBRU = w16(obru);
        t.gr.SetFillStyle(1, 9);
        FIELD(t.G);
        EXPECT_EQ(t.gr.fillColor(), 9);
        EXPECT_EQ(t.gr.pixel(1179, 100), 9);
    }
}

TEST(Field, SmallerWindowMovesPanelAndIndicator) {
    Field t(800, 600);
    FIELD(t.G);
    const Graph& g = t.gr;
    EXPECT_EQ(g.pixel(798, 550), 15); // right edge at GetMaxX-1
    EXPECT_EQ(g.pixel(400, 598), 15); // bottom edge at GetMaxY-1
    EXPECT_EQ(g.pixel(400, 500), 15); // the ground line stays on row 500
    EXPECT_EQ(boxOf(g, [](int p) { return p == 2; }), (Box{699, 100, 729, 130}));
    // Counter rows 40, 30 and 20 rows above the bottom.
    Blank ref(800, 600);
    counterRow(ref.gr, 559, "f - ", 7);
    counterRow(ref.gr, 569, "b - ", 3);
    counterRow(ref.gr, 579, "t - ", 12);
    EXPECT_EQ(differences(g, ref.gr, 2, 501, 797, 597), 0);
}

TEST(Field, ShortWindowKeepsTheLayoutOfTheBottomEdge) {
    // A window shorter than the ground line hides the panel, but the frame's bottom edge
    // and the counters still follow GetMaxY, so they land on the battlefield's lowest rows.
    Field t(640, 400);
    FIELD(t.G);
    const Graph& g = t.gr;
    EXPECT_EQ(g.pixel(320, 398), 15);
    EXPECT_EQ(g.pixel(320, 399), 0);
    EXPECT_GT(countColour(g, 15, 10, 359, 60, 366), 0); // "f - 7" row at GetMaxY-40
    EXPECT_EQ(g.color(), 15);
}

// ---- The gun ----

TEST(Gun, OutlineAndPlace) {
    TestGame t;
    t.openGraph();
    t.G.GUNX = 60;
    t.gr.SetColor(9);
    t.gr.SetFillStyle(3, 4);
    GUN(t.G);
    const Graph& g = t.gr;
    EXPECT_EQ(litBox(g), (Box{37, 475, 80, 500}));
    EXPECT_EQ(boxOf(g, [](int p) { return p != 0 && p != 9; }), Box{});
    // It changes no drawing state.
    EXPECT_EQ(g.color(), 9);
    EXPECT_EQ(g.fillPattern(), 3);
    EXPECT_EQ(g.fillColor(), 4);
    // Barrel corners, trail ends and the wheel.
    for (auto [x, y] : {std::pair{50, 490},
                        {80, 480},
                        {77, 475},
                        {47, 485},
                        {57, 495},
                        {40, 500},
                        {54, 490},
                        {37, 495},
                        {60, 490},
                        {60, 500},
                        {55, 495}})
        EXPECT_EQ(g.pixel(x, y), 9) << x << "," << y;
}

} // namespace
} // namespace gs::test
