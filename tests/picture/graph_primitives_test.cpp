// Pixel rules of the drawing surface's primitives.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "picture/font.h"
#include "picture/graph.h"

namespace gs {
namespace {

struct Surface : ::testing::Test {
    Graph g{Graph::Config{true, 640, 480, true}};
    void SetUp() override {
        i16 d = 0, m = 30000;
        g.InitGraph(d, m, "");
    }
    // Every pixel that is not 0, as (x, y) pairs.
    std::set<std::pair<int, int>> lit() const {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x)
                if (g.pixel(x, y)) s.insert({x, y});
        return s;
    }
    int count(int colour) const {
        int n = 0;
        for (auto p : g.pixels()) n += p == colour;
        return n;
    }
};

using P = std::set<std::pair<int, int>>;

TEST_F(Surface, OpensBlackWithTheDrawingStateReset) {
    EXPECT_EQ(g.GetMaxX(), 639);
    EXPECT_EQ(g.GetMaxY(), 479);
    EXPECT_EQ(count(0), 640 * 480);
    EXPECT_EQ(g.color(), 15);
    EXPECT_EQ(g.fillPattern(), 1);
    EXPECT_EQ(g.fillColor(), 255);
    EXPECT_EQ(g.backgroundColor(), 0);
    EXPECT_EQ(g.lineStyle(), 0);
    EXPECT_EQ(g.lineThickness(), 1);
    // A second opening resets whatever the last level left.
    g.SetColor(4);
    g.SetFillStyle(0, 3);
    g.SetLineStyle(1, 0, 3);
    g.Bar(0, 0, 10, 10);
    g.CloseGraph();
    i16 d = 0, m = 30000;
    g.InitGraph(d, m, "");
    EXPECT_EQ(g.color(), 15);
    EXPECT_EQ(g.fillPattern(), 1);
    EXPECT_EQ(g.fillColor(), 255);
    EXPECT_EQ(g.lineStyle(), 0);
    EXPECT_EQ(g.lineThickness(), 1);
    EXPECT_EQ(count(0), 640 * 480);
}

TEST_F(Surface, PaletteIsTheVgaDefault) {
    const Palette& p = g.palette();
    using C = std::array<std::uint8_t, 3>;
    EXPECT_EQ(p[0], (C{0, 0, 0}));
    EXPECT_EQ(p[1], (C{0, 0, 168}));
    EXPECT_EQ(p[6], (C{168, 84, 0}));
    EXPECT_EQ(p[9], (C{84, 84, 252}));
    EXPECT_EQ(p[14], (C{252, 252, 84}));
    EXPECT_EQ(p[15], (C{252, 252, 252}));
    EXPECT_EQ(p[16], (C{0, 0, 0}));
    EXPECT_EQ(p[17], (C{20, 20, 20}));
    EXPECT_EQ(p[18], (C{32, 32, 32}));
    EXPECT_EQ(p[30], (C{224, 224, 224}));
    EXPECT_EQ(p[31], (C{252, 252, 252}));
    EXPECT_EQ(p[32], (C{0, 0, 252})); // first hue ring starts at blue
    EXPECT_EQ(p[40], (C{252, 0, 0})); // red
    EXPECT_EQ(p[48], (C{0, 252, 0})); // green
    EXPECT_EQ(p[255], (C{0, 0, 0}));  // the default fill colour is black
}

TEST_F(Surface, RejectedStylesChangeNothing) {
    g.SetFillStyle(13, 4);
    g.SetFillStyle(1, 256);
    g.SetFillStyle(-1, 4);
    EXPECT_EQ(g.fillPattern(), 1);
    EXPECT_EQ(g.fillColor(), 255);
    g.SetLineStyle(0, 0, 0);
    g.SetLineStyle(5, 0, 1);
    g.SetLineStyle(0, 0, 2);
    EXPECT_EQ(g.lineStyle(), 0);
    EXPECT_EQ(g.lineThickness(), 1);
    g.Line(10, 10, 30, 10);
    EXPECT_EQ(lit(), ([] {
                  P s;
                  for (int x = 10; x <= 30; ++x) s.insert({x, 10});
                  return s;
              }()));
    g.SetFillStyle(0, 15);
    EXPECT_EQ(g.fillPattern(), 0);
    EXPECT_EQ(g.fillColor(), 15);
}

TEST_F(Surface, LineIncludesBothEndsAndIsTheSameSetEitherWay) {
    g.Line(5, 5, 5, 5);
    EXPECT_EQ(lit(), (P{{5, 5}}));
    g.ClearDevice();
    g.Line(0, 0, 4, 2);
    EXPECT_EQ(lit(), (P{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
    g.ClearDevice();
    g.Line(10, 10, 13, 20); // steep: one pixel per row
    auto s = lit();
    EXPECT_EQ(s.size(), 11u);
    EXPECT_TRUE(s.count({10, 10}) && s.count({13, 20}));
    for (int y = 10; y <= 20; ++y) {
        int n = 0;
        for (auto& p : s) n += p.second == y;
        EXPECT_EQ(n, 1) << y;
    }
    // Drawn from either end, a line covers the same pixels, so an erase drawn the other
    // way round leaves nothing behind; half steps are where the two could differ.
    const int ends[][4] = {{0, 0, 2, 1}, {3, 7, 40, 20}, {50, 5, 47, 30}, {-30, 9, 70, 12}};
    for (const auto& e : ends) {
        g.ClearDevice();
        g.Line(e[0], e[1], e[2], e[3]);
        const auto forward = lit();
        g.ClearDevice();
        g.Line(e[2], e[3], e[0], e[1]);
        EXPECT_EQ(lit(), forward) << e[0] << "," << e[1] << " to " << e[2] << "," << e[3];
    }
}

TEST_F(Surface, ClippedLinesKeepTheirUnclippedPixels) {
    // The visible part of a line that runs far outside is exactly the visible part of the
    // same line drawn on a picture big enough to hold it.
    Graph big{Graph::Config{true, 4000, 3000, true}};
    i16 d = 0, m = 0;
    big.InitGraph(d, m, "");
    const int lines[][4] = {{-1500, -700, 900, 400},
                            {2000, 2500, -300, 100},
                            {320, -900, 10, 1400},
                            {-2000, 240, 2500, 250},
                            {639, 479, -3000, -2700}};
    for (auto& l : lines) {
        g.ClearDevice();
        big.ClearDevice();
        g.Line(l[0], l[1], l[2], l[3]);
        big.Line(l[0] + 2000, l[1] + 1500, l[2] + 2000, l[3] + 1500);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                ASSERT_EQ(g.pixel(x, y), big.pixel(x + 2000, y + 1500)) << x << "," << y;
    }
}

TEST_F(Surface, ExtremeCoordinatesClipSilently) {
    g.Line(-32768, -32768, 32767, 32767);
    EXPECT_EQ(g.pixel(0, 0), 15);
    EXPECT_EQ(g.pixel(479, 479), 15);
    EXPECT_EQ(g.pixel(480, 479), 0);
    g.ClearDevice();
    g.Line(-32768, 520, 32767, 520); // below the window: nothing, no failure
    g.Bar(-32768, -32768, -1, 32767);
    g.Circle(-32768, 32767, 32767);
    g.FillEllipse(32767, -32768, 100, 100);
    g.Rectangle(700, 500, 32767, 32767);
    g.OutTextXY(-8, 10, "A");
    EXPECT_EQ(count(0), 640 * 480);
    g.Bar(-32768, -32768, 32767, 32767);
    EXPECT_EQ(count(255), 640 * 480);
}

TEST_F(Surface, RectangleFollowsItsFourLineRule) {
    g.Rectangle(10, 20, 13, 22);
    EXPECT_EQ(lit(), (P{{10, 20},
                        {11, 20},
                        {12, 20},
                        {13, 20},
                        {10, 21},
                        {13, 21},
                        {10, 22},
                        {11, 22},
                        {12, 22},
                        {13, 22}}));
    g.ClearDevice();
    // Flat rectangle: the segment plus the two stray pixels of the left and right lines.
    g.Rectangle(10, 20, 15, 20);
    P want{{10, 21}, {15, 19}};
    for (int x = 10; x <= 15; ++x) want.insert({x, 20});
    EXPECT_EQ(lit(), want);
}

TEST_F(Surface, BarFillsEitherOrderWithoutOutline) {
    g.SetColor(4);
    g.SetFillStyle(1, 2);
    g.Bar(20, 30, 10, 25);
    EXPECT_EQ(count(2), 11 * 6);
    EXPECT_EQ(count(4), 0);
    EXPECT_EQ(g.pixel(10, 25), 2);
    EXPECT_EQ(g.pixel(20, 30), 2);
    EXPECT_EQ(g.pixel(21, 30), 0);
    g.SetFillStyle(0, 2); // empty pattern paints the background
    g.Bar(12, 26, 13, 27);
    EXPECT_EQ(count(2), 11 * 6 - 4);
}

TEST_F(Surface, ClearDeviceKeepsTheDrawingState) {
    g.SetColor(4);
    g.SetFillStyle(0, 7);
    g.SetLineStyle(3, 0, 3);
    g.Bar(0, 0, 639, 479);
    g.ClearDevice();
    EXPECT_EQ(count(0), 640 * 480);
    EXPECT_EQ(g.color(), 4);
    EXPECT_EQ(g.fillPattern(), 0);
    EXPECT_EQ(g.fillColor(), 7);
    EXPECT_EQ(g.lineStyle(), 3);
    EXPECT_EQ(g.lineThickness(), 3);
    EXPECT_EQ(g.palette()[4], vgaPalette()[4]);
    EXPECT_EQ(g.currentX(), 0);
}

TEST_F(Surface, TextDrawsOnlyTheGlyphsSetPixels) {
    g.SetFillStyle(1, 3);
    g.Bar(0, 0, 40, 20);
    g.SetColor(14);
    g.OutTextXY(8, 4, "AB");
    for (int i = 0; i < 2; ++i) {
        const std::uint8_t* glyph = font8x8(static_cast<unsigned char>("AB"[i]));
        for (int r = 0; r < 8; ++r)
            for (int b = 0; b < 8; ++b)
                EXPECT_EQ(g.pixel(8 + 8 * i + b, 4 + r), (glyph[r] & (0x80 >> b)) ? 14 : 3);
    }
    // Code page 437: byte 0xDB is the full block.
    const std::uint8_t* block = font8x8(0xDB);
    for (int r = 0; r < 8; ++r) EXPECT_EQ(block[r], 0xFF);
    EXPECT_NE(font8x8('0')[3], 0);
    EXPECT_EQ(font8x8(' ')[3], 0);
}

TEST(Font, ControlBytePicturesAreAllDifferent) {
    // Bytes 1..31 and 127 each have their own picture; the solid triangles 0x10, 0x11, 0x1E
    // and 0x1F must not come out as the arrows 0x1A, 0x1B, 0x18 and 0x19.
    std::set<std::string> seen;
    std::vector<int> codes;
    for (int c = 1; c < 32; ++c) codes.push_back(c);
    codes.push_back(0x7F);
    for (int c : codes) {
        const std::uint8_t* glyph = font8x8(static_cast<unsigned char>(c));
        EXPECT_TRUE(seen.insert(std::string(glyph, glyph + 8)).second) << "byte " << c;
    }
    // The right-pointing triangle is widest in its middle row and points at column 6.
    EXPECT_EQ(font8x8(0x10)[3], 0xFE);
    EXPECT_EQ(font8x8(0x10)[0], 0x80);
}

TEST_F(Surface, TextClipsAtTheEdgesButNotWhenItStartsOutside) {
    g.OutTextXY(636, 476, "\xDB\xDB");
    EXPECT_EQ(count(15), 4 * 4);
    g.ClearDevice();
    g.OutTextXY(-1, 10, "\xDB\xDB");
    g.OutTextXY(10, -1, "\xDB\xDB");
    g.OutTextXY(640, 10, "\xDB");
    EXPECT_EQ(count(15), 0);
}

TEST_F(Surface, ThickAndDashedLinesStayWithinTheirRules) {
    g.SetLineStyle(0, 0, 3);
    g.Line(10, 10, 20, 12); // flat: three rows thick
    int n = 0;
    for (auto [x, y] : lit()) {
        EXPECT_TRUE(x >= 10 && x <= 20 && y >= 9 && y <= 13);
        ++n;
    }
    EXPECT_EQ(n, 33);
    g.ClearDevice();
    g.SetLineStyle(4, 0xF0F0, 1); // user dashes: 4 on, 4 off
    g.Line(0, 0, 15, 0);
    P want;
    for (int x : {0, 1, 2, 3, 8, 9, 10, 11}) want.insert({x, 0});
    EXPECT_EQ(lit(), want);
}

TEST_F(Surface, PatternedBarsMixFillAndBackground) {
    g.SetFillStyle(9, 4); // a checker
    g.Bar(0, 0, 7, 7);
    EXPECT_EQ(count(4), 32);
    EXPECT_EQ(count(0), 640 * 480 - 32);
}

TEST_F(Surface, ClosedPictureIgnoresDrawing) {
    g.CloseGraph();
    EXPECT_FALSE(g.isOpen());
    g.Line(0, 0, 10, 10);
    g.ClearDevice();
    EXPECT_EQ(g.pixel(5, 5), 0);
}

} // namespace
} // namespace gs
