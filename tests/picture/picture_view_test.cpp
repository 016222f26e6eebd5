// Showing the picture in an area of another size: the fit, whole-factor blocks, a changed
// rectangle that lands exactly on its blocks, and thin lines kept when shrunk.
#include <gtest/gtest.h>

#include <vector>

#include "picture/picture_view.h"

namespace gs {
namespace {

TEST(PictureView, FitsWholeCentredAndNeverCropped) {
    // Whole factors while they fit; bars share the rest.
    EXPECT_EQ(fitPicture(640, 480, 640, 480), (PixelRect{0, 0, 640, 480}));
    EXPECT_EQ(fitPicture(1920, 1080, 3840, 2160), (PixelRect{0, 0, 3840, 2160}));
    EXPECT_EQ(fitPicture(640, 480, 1500, 1000), (PixelRect{110, 20, 1280, 960}));
    // Larger than the area: shrunk, aspect kept (a 1920x1080 demo on a 1280x1024 screen).
    EXPECT_EQ(fitPicture(1920, 1080, 1280, 1024), (PixelRect{0, 152, 1280, 720}));
    EXPECT_EQ(fitPicture(1000, 2000, 800, 800), (PixelRect{200, 0, 400, 800}));
    EXPECT_EQ(fitPicture(8192, 100, 100, 100), (PixelRect{0, 49, 100, 1}));
    EXPECT_TRUE(fitPicture(640, 480, 0, 480).empty());
    EXPECT_TRUE(fitPicture(0, 480, 640, 480).empty());
}

struct Target {
    int w, h;
    std::vector<std::uint32_t> px;
    Target(int width, int height) : w(width), h(height), px(std::size_t(width * height), 7777) {}
    PixelTarget all() { return {px.data(), w * 4, 0, 0, w, h}; }
    std::uint32_t at(int x, int y) const { return px[std::size_t(y * w + x)]; }
};

PixelPalette identity() {
    PixelPalette p{};
    for (std::uint32_t i = 0; i < 256; ++i) p[i] = i;
    return p;
}

TEST(PictureView, WholeFactorsMakeBlocksAndChangesLandOnTheirBlocks) {
    const int pw = 5, ph = 3;
    std::vector<std::uint8_t> pic(pw * ph);
    for (int i = 0; i < pw * ph; ++i) pic[std::size_t(i)] = std::uint8_t(i + 1);
    Target t(20, 12);
    const PixelRect shown{2, 1, pw * 3, ph * 3};
    EXPECT_EQ(paintPicture(pic.data(), pw, ph, {0, 0, pw, ph}, t.all(), shown, identity()), shown);
    for (int y = 0; y < t.h; ++y)
        for (int x = 0; x < t.w; ++x) {
            const bool inside = x >= 2 && x < 17 && y >= 1 && y < 10;
            EXPECT_EQ(t.at(x, y), inside ? pic[std::size_t((y - 1) / 3 * pw + (x - 2) / 3)] : 7777u)
                << x << "," << y;
        }
    // One changed pixel repaints exactly its 3x3 block.
    pic[std::size_t(1 * pw + 3)] = 200;
    EXPECT_EQ(paintPicture(pic.data(), pw, ph, {3, 1, 1, 1}, t.all(), shown, identity()),
              (PixelRect{11, 4, 3, 3}));
    EXPECT_EQ(t.at(11, 4), 200u);
    EXPECT_EQ(t.at(13, 6), 200u);
    EXPECT_EQ(t.at(10, 4), pic[std::size_t(1 * pw + 2)]);
    EXPECT_EQ(t.at(14, 4), pic[std::size_t(1 * pw + 4)]);
    // Only what lies inside the target's rectangle is written.
    Target small(20, 12);
    const PixelTarget part{small.px.data(), small.w * 4, 0, 0, 6, 5};
    EXPECT_EQ(paintPicture(pic.data(), pw, ph, {0, 0, pw, ph}, part, shown, identity()),
              (PixelRect{2, 1, 4, 4}));
    EXPECT_EQ(small.at(6, 1), 7777u);
    EXPECT_EQ(small.at(2, 5), 7777u);
}

TEST(PictureView, ShrinkingKeepsEveryOneBitLine) {
    // A 6x3 picture shown at 4x2: a one-pixel line on the last row and a dot in the last
    // column, both of which plain sampling (rows 0 and 1, columns 0, 1, 3, 4) would drop.
    std::vector<std::uint8_t> pic(6 * 3, 0);
    for (int x = 0; x < 6; ++x) pic[std::size_t(2 * 6 + x)] = 15;
    pic[std::size_t(5)] = 4;
    Target t(4, 2);
    EXPECT_EQ(paintPicture(pic.data(), 6, 3, {0, 0, 6, 3}, t.all(), {0, 0, 4, 2}, identity()),
              (PixelRect{0, 0, 4, 2}));
    EXPECT_EQ(t.at(0, 1), 15u); // the line, in the span of rows 1 and 2
    EXPECT_EQ(t.at(3, 1), 15u);
    EXPECT_EQ(t.at(3, 0), 4u); // the dot, in the span of columns 4 and 5
    EXPECT_EQ(t.at(0, 0), 0u);
    // A change in one span repaints just the shown pixel that stands for it.
    pic[std::size_t(1)] = 9;
    EXPECT_EQ(paintPicture(pic.data(), 6, 3, {1, 0, 1, 1}, t.all(), {0, 0, 4, 2}, identity()),
              (PixelRect{1, 0, 1, 1})); // columns 1 and 2
    EXPECT_EQ(t.at(1, 0), 9u);
    EXPECT_EQ(t.at(0, 0), 0u);
}

TEST(PictureView, ShrunkPixelTakesTheHighestIndexOfItsSpanWhicheverPartChanged) {
    // Shrunk by less than half (spans of one or two) and by more (longer spans), painted
    // whole and a changed strip at a time: every shown pixel is the highest index of the
    // picture pixels it stands for.
    const int pw = 37, ph = 23;
    std::vector<std::uint8_t> pic(pw * ph);
    std::uint32_t r = 12345;
    for (auto& p : pic) p = std::uint8_t((r = r * 1103515245u + 12345u) >> 24);
    for (const auto& [sw, sh] : {std::pair{29, 19}, {20, 12}, {9, 5}}) {
        SCOPED_TRACE(std::to_string(sw) + "x" + std::to_string(sh));
        const PixelRect shown{1, 2, sw, sh};
        Target whole(sw + 3, sh + 4), strips(sw + 3, sh + 4);
        paintPicture(pic.data(), pw, ph, {0, 0, pw, ph}, whole.all(), shown, identity());
        for (int x = 0; x < pw; x += 5)
            paintPicture(pic.data(), pw, ph, {x, 0, 5, ph}, strips.all(), shown, identity());
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                const int left = x * pw / sw, right = std::max(left + 1, (x + 1) * pw / sw);
                const int top = y * ph / sh, bottom = std::max(top + 1, (y + 1) * ph / sh);
                std::uint32_t want = 0;
                for (int sy = top; sy < bottom; ++sy)
                    for (int sx = left; sx < right; ++sx)
                        want = std::max<std::uint32_t>(want, pic[std::size_t(sy * pw + sx)]);
                ASSERT_EQ(whole.at(x + 1, y + 2), want) << x << "," << y;
                ASSERT_EQ(strips.at(x + 1, y + 2), want) << x << "," << y;
            }
        EXPECT_EQ(whole.at(0, 0), 7777u);
    }
}

} // namespace
} // namespace gs
