// The rectangle the drawing surface reports as changed since the window last took it:
// it holds every pixel any primitive set, whatever the shape, style or clipping.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "picture/graph.h"

namespace gs {
namespace {

struct Changed : ::testing::Test {
    Graph g{Graph::Config{true, 320, 200, true}};
    void SetUp() override {
        i16 d = 0, m = 30000;
        g.InitGraph(d, m, "");
    }
    PixelRect take() {
        std::lock_guard<std::mutex> lock(g.pictureLock());
        return g.takeChanged();
    }
    std::vector<std::uint8_t> picture() const { return {g.pixels().begin(), g.pixels().end()}; }
};

TEST_F(Changed, OpeningAndClearingChangeTheWholePictureAndTakingStartsAfresh) {
    const PixelRect whole = PixelRect::corners(0, 0, 319, 199);
    EXPECT_EQ(take(), whole);
    EXPECT_TRUE(take().empty());
    g.SetColor(3);
    g.Line(5, 6, 5, 6);
    EXPECT_EQ(take(), (PixelRect::corners(5, 6, 5, 6)));
    g.ClearDevice();
    EXPECT_EQ(take(), whole);
    // Drawing wholly outside the picture changes nothing.
    g.Circle(-500, -500, 20);
    g.OutTextXY(400, 10, "off");
    EXPECT_TRUE(take().empty());
}

TEST_F(Changed, SeveralCallsAddUpToOneRectangle) {
    take();
    g.SetColor(15);
    g.Circle(20, 30, 3);
    g.SetFillStyle(1, 4);
    g.Bar(300, 190, 250, 180);
    EXPECT_EQ(take(), (PixelRect::corners(17, 27, 300, 190)));
}

// Random shapes of every primitive, many partly or wholly outside: each pixel that changed
// lies inside the reported rectangle.
TEST_F(Changed, EveryChangedPixelIsInsideTheRectangle) {
    std::mt19937 rnd(16);
    auto coord = [&](int reach) { return static_cast<i16>(int(rnd() % (2 * reach)) - reach / 2); };
    for (int round = 0; round < 1000; ++round) {
        take();
        const std::vector<std::uint8_t> before = picture();
        g.SetColor(1 + static_cast<int>(rnd() % 15));
        g.SetFillStyle(static_cast<int>(rnd() % 13), 1 + static_cast<int>(rnd() % 15));
        g.SetLineStyle(static_cast<int>(rnd() % 4), 0, rnd() % 2 ? 3 : 1);
        const i16 x1 = coord(400), y1 = coord(300), x2 = coord(400), y2 = coord(300);
        const i16 r1 = static_cast<i16>(rnd() % 60), r2 = static_cast<i16>(rnd() % 60);
        const int shape = static_cast<int>(rnd() % 6);
        switch (shape) {
        case 0: g.Line(x1, y1, x2, y2); break;
        case 1: g.Rectangle(x1, y1, x2, y2); break;
        case 2: g.Bar(x1, y1, x2, y2); break;
        case 3: g.Circle(x1, y1, static_cast<i16>(r1 - 5)); break;
        case 4: g.FillEllipse(x1, y1, r1, static_cast<i16>(-r2)); break;
        default: g.OutTextXY(x1, y1, std::string(rnd() % 6, 'W')); break;
        }
        const PixelRect r = take();
        const std::vector<std::uint8_t> after = picture();
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * g.width() + x;
                if (before[at] == after[at]) continue;
                ASSERT_TRUE(x >= r.x && x <= r.right() && y >= r.y && y <= r.bottom())
                    << "shape " << shape << " round " << round << " set (" << x << ", " << y
                    << ") outside " << r.x << "," << r.y << " - " << r.right() << "," << r.bottom();
            }
    }
}

} // namespace
} // namespace gs
