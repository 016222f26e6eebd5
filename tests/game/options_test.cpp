// Command-line options: accepted forms, refused values.
#include <gtest/gtest.h>

#include "game/options.h"

namespace gs {
namespace {

TEST(Options, NoArgumentsIsThePlainGame) {
    ParsedOptions p = parseOptions({});
    EXPECT_TRUE(p.error.empty());
    EXPECT_FALSE(p.options.fast);
    EXPECT_FALSE(p.options.seed);
    EXPECT_FALSE(p.options.headless);
    EXPECT_FALSE(p.options.sizeGiven);
    EXPECT_FALSE(p.options.snapshots);
}

TEST(Options, EveryOptionInBothForms) {
    ParsedOptions p =
        parseOptions({"--fast", "--seed", "4294967295", "--headless", "--size=640x480",
                      "--snapshots", "shots", "--help", "--version"});
    ASSERT_EQ(p.error, "");
    const Options& o = p.options;
    EXPECT_TRUE(o.fast);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_TRUE(o.headless);
    EXPECT_TRUE(o.sizeGiven);
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 480);
    EXPECT_EQ(o.snapshots, "shots");
    EXPECT_TRUE(o.help);
    EXPECT_TRUE(o.version);
    EXPECT_EQ(parseOptions({"--seed=0"}).options.seed, 0u);
    EXPECT_EQ(parseOptions({"--size", "100x8192"}).options.height, 8192);
}

TEST(Options, BadArgumentsAreRefusedWithAReason) {
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"play"},
                                               {"--seed"},
                                               {"--seed", "-1"},
                                               {"--seed", "4294967296"},
                                               {"--seed", "12x"},
                                               {"--seed", ""},
                                               {"--size", "640"},
                                               {"--size", "99x480"},
                                               {"--size", "640x8193"},
                                               {"--size", "x480"},
                                               {"--size", "640x+480"},
                                               {"--snapshots", ""},
                                               {"--fast=1"},
                                               {"--size"}}) {
        ParsedOptions p = parseOptions(bad);
        EXPECT_FALSE(p.error.empty()) << bad[0] << (bad.size() > 1 ? " " + bad[1] : "");
        EXPECT_EQ(p.error.find('\n'), std::string::npos); // one line
    }
    EXPECT_NE(usageText().find("--snapshots DIR"), std::string::npos);
    EXPECT_EQ(versionText(), std::string("Gorvenshale ") + GS_VERSION + "\n");
}

} // namespace
} // namespace gs
