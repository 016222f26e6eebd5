// The built game, piped: answers that are not numbers are refused and asked again, a
// Custom level number without a file goes back to the main menu, and "0X" is no
// hexadecimal prefix.
#include <gtest/gtest.h>

#include <fstream>

#include "state/texts.h"
#include "tests/support/run_game.h"

namespace {

using namespace gs::test;

const std::vector<std::string> kQuick{"--headless", "--fast", "--seed", "3"};

TEST(NotANumberE2E, EveryQuestionAsksAgainAndAScriptOfThemEndsWithTheInput) {
    // Main menu, game type, level number, ammunition (after the start key q), speed and
    // angle twice ("22 abc" drops its line), then a shot onto the gun's own wheel.
    GameRun r = runGame(kQuick, "x\n1 y\n2\nlevel\n1\nq1\n1\n22 abc\n0 angle\n0 0\nn\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.out, gs::text::NOT_A_NUMBER), 6);
    EXPECT_EQ(count(r.out, gs::text::SHOT_QUESTION), 3);
    EXPECT_EQ(count(r.out, "DEAD"), 1);

    GameRun wrong = runGame(kQuick, "x\n-1\nabc def\n0X1\n");
    EXPECT_EQ(wrong.status, 100);
    EXPECT_EQ(count(wrong.out, gs::text::NOT_A_NUMBER), 4);
}

TEST(MissingCustomLevelE2E, SaysSoWaitsForAKeyAndShowsTheMainMenu) {
    GameRun r = runGame(kQuick, "1\n2\n13\n\n3\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.out, "13\nThere is no level 13. Press any key.\n"), 1) << r.out;
    EXPECT_EQ(count(r.out, "1.Play"), 2);
}

TEST(UpperCaseHexE2E, InALevelFileIsRuntimeError106) {
    const fs::path dir = scratch("hex_level");
    fs::create_directory(dir / "level");
    std::ofstream(dir / "level" / "1.txt") << "1 0X32 5 0 0 1000 400 0\nBriefing\n";
    EXPECT_EQ(runGame(kQuick, "1\n1\n", dir).status, 106);
    fs::remove_all(dir);
}

} // namespace
