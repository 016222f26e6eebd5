// Circles and filled ellipses: closed, symmetric, within their radii, and filled by rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "picture/graph.h"

namespace gs {
namespace {

struct Ellipses : ::testing::Test {
    Graph g{Graph::Config{true, 400, 300, true}};
    void SetUp() override {
        i16 d = 0, m = 30000;
        g.InitGraph(d, m, "");
    }
    std::set<std::pair<int, int>> of(int colour) const {
        std::set<std::pair<int, int>> s;
        // Every shape here is centred on (200, 150) and no larger than 103 pixels around it.
        for (int y = 150 - 104; y <= 150 + 104; ++y)
            for (int x = 200 - 104; x <= 200 + 104; ++x)
                if (g.pixel(x, y) == colour) s.insert({x - 200, y - 150});
        return s;
    }
    // Flood the outside from the picture's corner (4-connected) without crossing `colour`:
    // a closed outline leaves the centre unreached.
    bool centreEnclosed(int colour) const {
        std::vector<char> seen(g.width() * g.height(), 0);
        std::vector<std::pair<int, int>> stack{{0, 0}};
        while (!stack.empty()) {
            auto [x, y] = stack.back();
            stack.pop_back();
            if (x < 0 || y < 0 || x >= g.width() || y >= g.height()) continue;
            char& s = seen[y * g.width() + x];
            if (s || g.pixel(x, y) == colour) continue;
            s = 1;
            stack.push_back({x + 1, y});
            stack.push_back({x - 1, y});
            stack.push_back({x, y + 1});
            stack.push_back({x, y - 1});
        }
        return !seen[150 * g.width() + 200];
    }
};

void expectSymmetricAndBounded(const std::set<std::pair<int, int>>& s, int rx, int ry) {
    ASSERT_FALSE(s.empty());
    int maxX = 0, maxY = 0;
    for (auto [x, y] : s) {
        EXPECT_TRUE(s.count({-x, y}) && s.count({x, -y}) && s.count({-x, -y})) << x << "," << y;
        EXPECT_LE(std::abs(x), rx);
        EXPECT_LE(std::abs(y), ry);
        maxX = std::max(maxX, std::abs(x));
        maxY = std::max(maxY, std::abs(y));
    }
    EXPECT_EQ(maxX, rx); // the outline reaches its radii
    EXPECT_EQ(maxY, ry);
}

TEST_F(Ellipses, CircleOutlinesAreClosedSymmetricAndRound) {
    for (int r : {2, 3, 5, 12, 40, 101}) {
        g.ClearDevice();
        g.Circle(200, 150, r);
        auto s = of(15);
        expectSymmetricAndBounded(s, r, r);
        for (auto [x, y] : s) EXPECT_TRUE(s.count({y, x})) << "not round at r=" << r;
        EXPECT_TRUE(centreEnclosed(15)) << r;
        EXPECT_EQ(g.pixel(200, 150), 0) << "a circle is not filled";
    }
}

TEST_F(Ellipses, CircleRadiusZeroDrawsNothingAndOneOnlyTheCentre) {
    g.Circle(200, 150, 0);
    EXPECT_TRUE(of(15).empty());
    g.Circle(200, 150, 1);
    EXPECT_EQ(of(15), (std::set<std::pair<int, int>>{{0, 0}}));
}

TEST_F(Ellipses, FilledEllipseHasRimInColourAndInteriorInFill) {
    for (auto [rx, ry] : {std::pair{5, 5}, {25, 25}, {101, 50}, {20, 10}, {3, 30}, {30, 2}}) {
        g.ClearDevice();
        g.SetColor(15);
        g.SetFillStyle(1, 14);
        g.FillEllipse(200, 150, rx, ry);
        auto rim = of(15), inside = of(14);
        expectSymmetricAndBounded(rim, rx, ry);
        EXPECT_TRUE(centreEnclosed(15)) << rx << "x" << ry;
        EXPECT_EQ(g.pixel(200, 150), ry > 1 || rx > 1 ? 14 : 15);
        // Each row: rim pixels at both ends, fill strictly between, nothing else.
        for (int y = -ry; y <= ry; ++y) {
            int lo = 1000, hi = -1000;
            for (int x = -rx; x <= rx; ++x)
                if (rim.count({x, y}) || inside.count({x, y}))
                    lo = std::min(lo, x), hi = std::max(hi, x);
            ASSERT_LE(lo, hi) << "row " << y << " empty";
            EXPECT_TRUE(rim.count({lo, y}) && rim.count({hi, y}));
            for (int x = lo; x <= hi; ++x) EXPECT_TRUE(rim.count({x, y}) || inside.count({x, y}));
        }
    }
}

TEST_F(Ellipses, EmptyFillCoversWhatWasUnderInBlack) {
    // The blast rings: a black disc with a red rim over a white bar.
    g.SetFillStyle(1, 15);
    g.Bar(0, 0, 399, 299);
    g.SetFillStyle(0, 15);
    g.SetColor(4);
    g.FillEllipse(200, 150, 20, 20);
    EXPECT_EQ(g.pixel(200, 150), 0);
    EXPECT_EQ(g.pixel(210, 150), 0);
    EXPECT_EQ(g.pixel(220, 150), 4);
    EXPECT_EQ(g.pixel(180, 150), 4);
    EXPECT_EQ(g.pixel(200, 130), 4);
    EXPECT_EQ(g.pixel(221, 150), 15);
    EXPECT_TRUE(centreEnclosed(4));
}

TEST_F(Ellipses, TinyRadiiSetOnlyTheCentreInTheCurrentColour) {
    g.SetColor(4);
    g.SetFillStyle(1, 14);
    for (auto [rx, ry] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
        g.ClearDevice();
        g.FillEllipse(200, 150, rx, ry);
        EXPECT_EQ(of(4), (std::set<std::pair<int, int>>{{0, 0}}));
        EXPECT_TRUE(of(14).empty());
    }
    // One radius 0: a flat or upright line, all rim.
    g.ClearDevice();
    g.FillEllipse(200, 150, 6, 0);
    EXPECT_EQ(of(4).size(), 13u);
    g.ClearDevice();
    g.FillEllipse(200, 150, 0, 6);
    EXPECT_EQ(of(4).size(), 13u);
}

TEST_F(Ellipses, ClippedDiscsMatchTheirVisiblePart) {
    Graph big{Graph::Config{true, 1400, 1300, true}};
    i16 d = 0, m = 0;
    big.InitGraph(d, m, "");
    for (auto [x, y, rx, ry] : {std::array{-30, 20, 101, 50},
                                {390, 290, 40, 40},
                                {200, -400, 300, 420},
                                std::array{-500, -500, 600, 600}}) {
        g.ClearDevice();
        big.ClearDevice();
        for (Graph* s : {&g, &big}) {
            s->SetFillStyle(1, 14);
            s->SetColor(15);
        }
        g.FillEllipse(x, y, rx, ry);
        big.FillEllipse(x + 700, y + 700, rx, ry);
        for (int py = 0; py < 300; ++py)
            for (int px = 0; px < 400; ++px)
                ASSERT_EQ(g.pixel(px, py), big.pixel(px + 700, py + 700)) << px << "," << py;
    }
    // Huge radii far away finish at once and draw nothing.
    g.ClearDevice();
    g.FillEllipse(-32768, -32768, 32767, 32767);
    g.Circle(32767, 32767, 32767);
    EXPECT_TRUE(of(15).empty());
}

TEST_F(Ellipses, NegativeRadiiDrawAsTheirMagnitude) {
    g.Circle(200, 150, -7);
    auto neg = of(15);
    g.ClearDevice();
    g.Circle(200, 150, 7);
    EXPECT_EQ(of(15), neg);
}

} // namespace
} // namespace gs
