// Command-line options: accepted forms, refused values.
#include <gtest/gtest.h>

#include "program/options.h"

namespace gs {
namespace {

TEST(Options, EveryOptionInBothForms) {
    EXPECT_EQ(parseOptions({}).error, "");
    EXPECT_FALSE(parseOptions({}).options.seed);
    ParsedOptions p =
        parseOptions({"--fast", "--seed", "4294967295", "--headless", "--size=640x480",
                      "--snapshots", "shots", "--help", "--version"});
    ASSERT_EQ(p.error, "");
    const Options& o = p.options;
    EXPECT_TRUE(o.fast && o.headless && o.sizeGiven && o.help && o.version);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.width * 10000 + o.height, 640 * 10000 + 480);
    EXPECT_EQ(o.snapshots, "shots");
    EXPECT_EQ(parseOptions({"--seed=0"}).options.seed, 0u);
    // The console stays in the terminal unless the one window is asked for.
    EXPECT_FALSE(o.consoleWindow);
    EXPECT_EQ(o.scale, 0); // not given: chosen from the screen
    p = parseOptions({"--console", "window", "--scale=8"});
    ASSERT_EQ(p.error, "");
    EXPECT_TRUE(p.options.consoleWindow);
    EXPECT_EQ(p.options.scale, 8);
    EXPECT_FALSE(parseOptions({"--console=terminal"}).options.consoleWindow);
    EXPECT_FALSE(o.continueCampaign);
    EXPECT_TRUE(parseOptions({"--continue"}).options.continueCampaign);
}

TEST(Options, SoundIsHeardWhereThereIsAWindowUnlessTurnedOff) {
    EXPECT_TRUE(soundHeard(parseOptions({}).options));
    EXPECT_TRUE(soundHeard(parseOptions({"--console", "window"}).options));
    EXPECT_FALSE(soundHeard(parseOptions({"--headless"}).options));
    EXPECT_FALSE(soundHeard(parseOptions({"--sound=off"}).options));
    // Headless has no device to hear it on, whatever is asked.
    EXPECT_FALSE(soundHeard(parseOptions({"--headless", "--sound", "on"}).options));
    const Options clicks = parseOptions({"--sound", "clicks"}).options;
    EXPECT_TRUE(soundHeard(clicks) && clicks.keyClicks);
    EXPECT_FALSE(parseOptions({"--sound", "on"}).options.keyClicks);
    const ParsedOptions wav = parseOptions({"--headless", "--sound-wav=turn.wav"});
    ASSERT_EQ(wav.error, "");
    EXPECT_EQ(wav.options.soundWav, "turn.wav");
    EXPECT_NE(parseOptions({"--sound", "loud"}).error.find("on, off or clicks"), std::string::npos);
    EXPECT_NE(parseOptions({"--sound"}).error, "");
    EXPECT_NE(parseOptions({"--sound-wav="}).error, "");
    EXPECT_NE(usageText().find("Ctrl+M"), std::string::npos);
}

TEST(Options, BadArgumentsAreRefusedOnOneLine) {
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"play"},
                                               {"--seed"},
                                               {"--seed", "-1"},
                                               {"--seed", "4294967296"},
                                               {"--seed", "12x"},
                                               {"--size", "640"},
                                               {"--size", "99x480"},
                                               {"--size", "640x8193"},
                                               {"--size", "640x+480"},
                                               {"--snapshots", ""},
                                               {"--fast=1"},
                                               {"--console", "pane"},
                                               {"--console", "window", "--headless"},
                                               {"--scale", "0"},
                                               {"--scale", "9"},
                                               {"--continue=1"},
                                               {"--continue", "--record", "a.demo"},
                                               {"--replay", "a.demo", "--continue"}}) {
        ParsedOptions p = parseOptions(bad);
        EXPECT_FALSE(p.error.empty()) << bad[0] << (bad.size() > 1 ? " " + bad[1] : "");
        EXPECT_EQ(p.error.find('\n'), std::string::npos);
    }
    EXPECT_EQ(parseOptions({"--colour=red"}).error, "unknown option '--colour=red'");
    EXPECT_EQ(parseOptions({"--fast=1"}).error, "option --fast takes no value");
}

} // namespace
} // namespace gs
