// The picture the one window and the page choose from their room, and the factor the one
// window chooses from the screen: the whole battle in view on the screens players have.
#include <gtest/gtest.h>

#include "picture/picture_size.h"
#include "picture/picture_view.h"

namespace gs {
namespace {

TEST(PictureSize, NeverNarrowerThanTheBattlefieldNorLowerThanTheBattle) {
    // A 1920x1080 one window's picture area: the area itself.
    EXPECT_EQ(choosePictureSize(1920, 650, 1), (PictureSize{1920, 650}));
    // A laptop page with the console beside: the battlefield's width, shown shrunk.
    EXPECT_EQ(choosePictureSize(726, 768, 1), (PictureSize{1280, 768}));
    // A 1280x720 one window: the counters need their rows below the bars.
    EXPECT_EQ(choosePictureSize(1280, 290, 1), (PictureSize{1280, BATTLE_H}));
    // Wide and short: the width the area gives, no more rows than the battle needs.
    EXPECT_EQ(choosePictureSize(3000, 400, 1), (PictureSize{3000, BATTLE_H}));
    // A 4K one window at factor 2.
    EXPECT_EQ(choosePictureSize(3840, 1460, 2), (PictureSize{1920, 730}));
    // Nothing to go by, a factor out of range, a room beyond any picture.
    EXPECT_EQ(choosePictureSize(0, -5, 1), (PictureSize{BATTLEFIELD_W, BATTLE_H}));
    EXPECT_EQ(choosePictureSize(2000, 1000, 0), (PictureSize{2000, 1000}));
    EXPECT_EQ(choosePictureSize(40000, 30000, 1), (PictureSize{CHOSEN_SIDE_MAX, CHOSEN_SIDE_MAX}));
}

TEST(PictureSize, ScaleIsTheLargestFactorAtWhichTheBattleFitsWhole) {
    EXPECT_EQ(chooseScale(3840, 1460), 2); // a 3840x2160 screen's one window
    EXPECT_EQ(chooseScale(1920, 650), 1);  // a 1920x1080 screen's
    EXPECT_EQ(chooseScale(1366, 380), 1);  // too small even at 1: still 1
    EXPECT_EQ(chooseScale(2560, 1120), 2);
    EXPECT_EQ(chooseScale(2559, 1120), 1);  // one column short
    EXPECT_EQ(chooseScale(2560, 1119), 1);  // one row short
    EXPECT_EQ(chooseScale(7680, 4320), 6);  // the width decides
    EXPECT_EQ(chooseScale(12800, 2240), 4); // the battle's rows decide
    EXPECT_EQ(chooseScale(40000, 40000), CHOSEN_SCALE_MAX);
    EXPECT_EQ(chooseScale(0, 0), 1);
}

TEST(PictureSize, ChosenPictureFillsItsAreaAtTheChosenScale) {
    // Whatever the area, once it holds the battlefield at the chosen factor the picture
    // is shown at exactly that factor, filling the area but for less than one block.
    for (const auto& [w, h] : {std::pair{1280, 560},
                               {1366, 600},
                               {1920, 650},
                               {2560, 1120},
                               {3840, 1460},
                               {3839, 1459},
                               {5120, 2000},
                               {2600, 1200}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const int scale = chooseScale(w, h);
        const PictureSize p = choosePictureSize(w, h, scale);
        const PixelRect shown = fitPicture(p.width, p.height, w, h);
        EXPECT_EQ(shown.width, p.width * scale);
        EXPECT_EQ(shown.height, p.height * scale);
        EXPECT_LT(w - shown.width, scale);
        EXPECT_LT(h - shown.height, scale);
    }
    // A smaller area shows the whole picture shrunk, never cut.
    const PictureSize p = choosePictureSize(1000, 300, chooseScale(1000, 300));
    const PixelRect shown = fitPicture(p.width, p.height, 1000, 300);
    EXPECT_LE(shown.width, 1000);
    EXPECT_EQ(shown.height, 300);
    EXPECT_EQ(shown.width, p.width * 300 / p.height);
}

} // namespace
} // namespace gs
