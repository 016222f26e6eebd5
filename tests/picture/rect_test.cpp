#include <gtest/gtest.h>

#include "picture/rect.h"

using gs::PixelRect;

// The one clipping routine serves the window's surface, the page's canvas and the picture's
// own bounds: a rectangle that touches, crosses or misses an edge must come out exact.
TEST(PixelRect, ClipsAtEveryEdge) {
    const PixelRect screen{0, 0, 640, 480};
    EXPECT_EQ((PixelRect{10, 20, 30, 40}.clippedTo(screen)), (PixelRect{10, 20, 30, 40}));
    EXPECT_EQ((PixelRect{-5, -6, 10, 10}.clippedTo(screen)), (PixelRect{0, 0, 5, 4}));
    EXPECT_EQ((PixelRect{630, 470, 20, 20}.clippedTo(screen)), (PixelRect{630, 470, 10, 10}));
    // Touching the edge from outside is no overlap; the last column inside is.
    EXPECT_TRUE((PixelRect{640, 0, 5, 5}.clippedTo(screen)).empty());
    EXPECT_TRUE((PixelRect{-5, 0, 5, 5}.clippedTo(screen)).empty());
    EXPECT_EQ((PixelRect{639, 479, 5, 5}.clippedTo(screen)), (PixelRect{639, 479, 1, 1}));
    // Empty rectangles, whatever their corner, are all the same rectangle.
    EXPECT_EQ((PixelRect{700, 10, 5, 5}.clippedTo(screen)), PixelRect{});
    EXPECT_EQ((PixelRect{3, 3, 0, 9}.clippedTo(screen)), PixelRect{});
    EXPECT_EQ((screen.clippedTo(PixelRect{5, 5, -1, 3})), PixelRect{});
}

TEST(PixelRect, CornersIncludeBothEndsAndGrowingKeepsEverything) {
    EXPECT_EQ(PixelRect::corners(2, 3, 2, 3), (PixelRect{2, 3, 1, 1}));
    EXPECT_TRUE(PixelRect::corners(5, 0, 4, 9).empty());
    EXPECT_EQ((PixelRect{0, 0, 10, 10}.right()), 9);
    PixelRect r;
    r.add(PixelRect{});
    EXPECT_TRUE(r.empty());
    r.add(PixelRect{5, 5, 2, 2});
    r.add(PixelRect{});
    r.add(PixelRect{1, 8, 1, 3});
    EXPECT_EQ(r, PixelRect::corners(1, 5, 6, 10));
}
