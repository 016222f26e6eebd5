#include <gtest/gtest.h>

#include <filesystem>

#include "program/startup.h"
#include "system/shown_text.h"

namespace gs {
namespace {

// The desktop's and the browser's entry points both start here: what the options ask for
// must reach the picture, the clock and the levels, the same way for both.
TEST(StartUp, TheOptionsBecomeThePictureTheClockAndTheLevels) {
    const Start s = startUp({"--fast", "--seed", "7", "--size", "800x600", "--scale", "2",
                             "--levels", "level", "--headless"},
                            99);
    ASSERT_FALSE(s.endNow);
    EXPECT_EQ(s.err, "");
    EXPECT_TRUE(s.clock.fast);
    EXPECT_EQ(s.clock.seed, 7u);
    EXPECT_TRUE(s.picture.headless);
    EXPECT_EQ(s.picture.width, 800);
    EXPECT_EQ(s.picture.height, 600);
    EXPECT_TRUE(s.picture.sizeGiven);
    EXPECT_EQ(s.picture.scale, 2); // the browser's start-up once dropped it
    EXPECT_EQ(s.levels.places, std::vector<std::string>{"level"});
    EXPECT_EQ(s.levels.found, "level");

    const Start plain = startUp({}, 99);
    EXPECT_FALSE(plain.clock.fast);
    EXPECT_FALSE(plain.clock.seed); // without --seed or a demo the clock seeds the game
    EXPECT_FALSE(plain.picture.headless);
    EXPECT_EQ(plain.picture.scale, 0); // not given: the one window chooses it
    EXPECT_EQ(plain.levels.places.front(), "./level");
}

TEST(StartUp, HelpVersionAndRefusalsEndBeforeAnyGame) {
    const Start help = startUp({"--help"}, 0);
    EXPECT_EQ(help.endNow, 0);
    EXPECT_EQ(help.out, usageText());
    const Start version = startUp({"--version"}, 0);
    EXPECT_EQ(version.endNow, 0);
    EXPECT_EQ(version.out, versionText());
    const Start bad = startUp({"--size", "1x1"}, 0);
    EXPECT_EQ(bad.endNow, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err.rfind("gorvenshale: ", 0), 0u);
    EXPECT_NE(bad.err.find(usageText()), std::string::npos);
    const Start noDemo = startUp({"--replay", "no/such.demo"}, 0);
    EXPECT_EQ(noDemo.endNow, 2);
    EXPECT_EQ(noDemo.err.rfind("gorvenshale: cannot replay no/such.demo", 0), 0u);
}

TEST(StartUp, AReplayBringsItsOwnSeedAndSize) {
    const Start s = startUp({"--replay", "tests/demos/skirmish.demo"}, 99);
    ASSERT_FALSE(s.endNow) << s.err;
    ASSERT_TRUE(s.demos.replay);
    EXPECT_EQ(s.clock.seed, s.demos.replay->seed);
    EXPECT_EQ(s.picture.width, s.demos.replay->width);
    EXPECT_EQ(s.picture.height, s.demos.replay->height);
    EXPECT_TRUE(s.picture.sizeGiven);
}

} // namespace
} // namespace gs
