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

TEST(NotANumberE2E, EveryQuestionAsksAgainAndTheGameGoesOn) {
    // Main menu, game type, level number, ammunition (with the battle's start key q),
    // speed and angle twice ("22 abc" drops its line), then a shot onto the gun's wheel.
    GameRun r = runGame(kQuick, "x\n1 y\n2\nlevel\n1\nq1\n1\n22 abc\n0 angle\n0 0\nn\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(count(r.out, gs::text::NOT_A_NUMBER), 6);
    EXPECT_EQ(count(r.out, gs::text::SELECT_GAME_TYPE), 2);
    EXPECT_EQ(count(r.out, gs::text::ENTER_LEVEL_NUMBER), 2);
    EXPECT_EQ(count(r.out, gs::text::AMMO_QUESTION), 2);
    EXPECT_EQ(count(r.out, gs::text::SHOT_QUESTION), 3);
    EXPECT_EQ(count(r.out, "DEAD"), 1);

    // A script of nothing but wrong answers ends with the input, never loops.
    GameRun wrong = runGame(kQuick, "x\n-1\nabc def\n0X1\n");
    EXPECT_EQ(wrong.status, 100);
    EXPECT_EQ(count(wrong.out, gs::text::NOT_A_NUMBER), 4);
    EXPECT_EQ(wrong.err.rfind("Runtime error 100 at $", 0), 0u) << wrong.err;
}

TEST(MissingCustomLevelE2E, SaysSoWaitsForAKeyAndShowsTheMainMenu) {
    GameRun r = runGame(kQuick, "1\n2\n13\n\n3\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(count(r.out, "13\nThere is no level 13. Press any key.\n"), 1) << r.out;
    EXPECT_EQ(count(r.out, "1.Play"), 2);

    // A level file that cannot be read is the installation's fault: it keeps its error.
    const fs::path dir = scratch("levels");
    fs::create_directories(dir / "level" / "13.txt"); // a folder where the file should be
    EXPECT_EQ(runGame(kQuick, "1\n2\n13\n", dir).status, 5);
    fs::remove_all(dir);
}

TEST(UpperCaseHexE2E, IsNotANumberAtTheConsoleNorInALevelFile) {
    // 0X1 is refused at the level number; 0x1 is level 1.
    GameRun r = runGame(kQuick, "1\n2\n0X1\n0x1\n\n1\n0 0\nn\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.out, "0X1\n" + std::string(gs::text::NOT_A_NUMBER)), 1);
    EXPECT_EQ(count(r.out, "Level 1 - Training ground"), 1);

    const fs::path dir = scratch("hex_level");
    fs::create_directory(dir / "level");
    std::ofstream(dir / "level" / "1.txt") << "1 0X32 5 0 0 1000 400 0\nBriefing\n";
    EXPECT_EQ(runGame(kQuick, "1\n1\n", dir).status, 106);
    fs::remove_all(dir);
}

} // namespace
