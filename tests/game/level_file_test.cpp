// Level files: the numbers, the briefing lines, the roster bounds and the error numbers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "game/level_file.h"
#include "platform/runtime_error.h"
#include "tests/support/harness.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

/// Runs each test in a fresh directory holding an empty `level` directory.
class LevelFile : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = fs::current_path();
        char tmpl[] = "/tmp/gs-level-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        fs::current_path(dir_);
        fs::create_directory("level");
    }
    void TearDown() override {
        fs::current_path(home_);
        fs::remove_all(dir_);
    }
    static void put(int lev, const std::string& content) {
        std::ofstream("level/" + std::to_string(lev) + ".txt", std::ios::binary) << content;
    }
    /// Loads level `lev` and returns the briefing as the console showed it.
    static std::string load(test::TestGame& t, int lev) {
        t.G.LEV = static_cast<i16>(lev);
        loadLevel(t.G);
        const std::string& out = t.term.output;
        auto cls = out.rfind("<CLS>\n");
        return cls == std::string::npos ? out : out.substr(cls + 6);
    }
    static int errorLoading(int lev) {
        test::TestGame t;
        try {
            load(t, lev);
        } catch (const RuntimeError& e) {
            return e.code;
        }
        return 0;
    }
    fs::path home_, dir_;
};

TEST_F(LevelFile, ReadsHeaderUnitsAndBriefing) {
    put(1, "2\n50\n20\n10\n1\n1000\n400\n5\n700\n1\nfirst line of the briefing\nsecond line\n");
    test::TestGame t;
    t.G.unit(3).X = 123; // a slot the level does not use keeps what it held
    t.G.unit(1).HEALTH = -5;
    EXPECT_EQ(load(t, 1), "\nfirst line of the briefing\nsecond line\n");
    EXPECT_EQ(t.G.LEV_STR, "1");
    EXPECT_EQ(t.G.NUMB, 2);
    EXPECT_EQ(t.G.GUNX, 50);
    EXPECT_EQ(t.G.FS, 20);
    EXPECT_EQ(t.G.BS, 10);
    EXPECT_EQ(t.G.TS, 1);
    EXPECT_EQ(t.G.MAXGUNHP, 1000);
    EXPECT_EQ(t.G.unit(1).X, 400);
    EXPECT_EQ(t.G.unit(1).TYP, T_LTANK);
    EXPECT_EQ(t.G.unit(2).X, 700);
    EXPECT_EQ(t.G.unit(2).TYP, T_HOUSE);
    EXPECT_EQ(t.G.unit(3).X, 123);
    EXPECT_EQ(t.G.unit(1).HEALTH, -5); // hit points belong to the level start, not the loader
    EXPECT_EQ(t.term.clears, 2);
}

TEST_F(LevelFile, NumbersMayShareALineWithTheBriefing) {
    put(2, "2 50 20 10 1 1000 400 5 700 1 Hello there\nnext");
    test::TestGame t;
    EXPECT_EQ(load(t, 2), " Hello there\nnext\n");
    EXPECT_EQ(t.G.unit(2).TYP, 1);
}

TEST_F(LevelFile, BriefingLinesAndLineEnds) {
    const std::string head = "1 50 1 1 1 100 300 0";
    std::string longLine(300, 'L');
    longLine.replace(255, 1, "X");
    put(3, head + "\n" + longLine + "\nafter\n");
    test::TestGame t;
    EXPECT_EQ(load(t, 3), "\n" + longLine.substr(0, 255) + "\nafter\n");

    // The last number ends the file: one empty line. A final line end adds no line.
    put(4, head);
    test::TestGame t4;
    EXPECT_EQ(load(t4, 4), "\n");
    put(5, head + "\nA\n");
    test::TestGame t5;
    EXPECT_EQ(load(t5, 5), "\nA\n");

    // CR alone, LF alone and CR LF read the same.
    for (const char* eol : {"\r", "\n", "\r\n"}) {
        put(6, "1" + std::string(eol) + "50 1 1 1 100 300 0" + eol + "one" + eol + eol + "three");
        test::TestGame t6;
        EXPECT_EQ(load(t6, 6), "\none\n\nthree\n") << "line end of " << std::strlen(eol);
        EXPECT_EQ(t6.G.GUNX, 50);
    }
}

TEST_F(LevelFile, NotationsWrapToSixteenBitsAndMissingNumbersAreZero) {
    put(7, "$1 70000 %11 &17 -1 0x10 -32769 11");
    test::TestGame t;
    load(t, 7);
    EXPECT_EQ(t.G.NUMB, 1);
    EXPECT_EQ(t.G.GUNX, 4464); // 70000 keeps its low 16 bits
    EXPECT_EQ(t.G.FS, 3);
    EXPECT_EQ(t.G.BS, 15);
    EXPECT_EQ(t.G.TS, -1);
    EXPECT_EQ(t.G.MAXGUNHP, 16);
    EXPECT_EQ(t.G.unit(1).X, 32767);
    EXPECT_EQ(t.G.unit(1).TYP, T_RADARMACH);

    put(8, "3 60");
    test::TestGame t8;
    t8.G.unit(2).TYP = 9;
    t8.G.unit(2).X = 77;
    EXPECT_EQ(load(t8, 8), "\n");
    EXPECT_EQ(t8.G.NUMB, 3);
    EXPECT_EQ(t8.G.GUNX, 60);
    EXPECT_EQ(t8.G.MAXGUNHP, 0);
    EXPECT_EQ(t8.G.unit(2).TYP, 0); // a missing unit is a target at 0
    EXPECT_EQ(t8.G.unit(2).X, 0);
}

TEST_F(LevelFile, MoreThanTwentyUnitsKeepsTheFirstTwenty) {
    std::string f = "22 50 1 1 1 100";
    for (int i = 1; i <= 22; ++i) f += " " + std::to_string(100 + i) + " " + std::to_string(i % 11);
    put(9, f + "\nbriefing\n");
    test::TestGame t;
    EXPECT_EQ(load(t, 9), "\nbriefing\n");
    EXPECT_EQ(t.G.NUMB, MAXUNITS);
    EXPECT_EQ(t.G.unit(20).X, 120);
    EXPECT_EQ(t.G.unit(20).TYP, 20 % 11);
}

TEST_F(LevelFile, NoUnitsWhenTheCountIsZeroOrLess) {
    put(10, "-2 50 1 1 1 100\nbriefing");
    test::TestGame t;
    t.G.unit(1).X = 5;
    EXPECT_EQ(load(t, 10), "\nbriefing\n");
    EXPECT_EQ(t.G.NUMB, -2);
    EXPECT_EQ(t.G.units(), 0);
    EXPECT_EQ(t.G.unit(1).X, 5);
}

TEST_F(LevelFile, ZeroAndNegativeLevelsHaveTheirOwnFiles) {
    put(0, "1 10 1 1 1 100 300 0\nzero");
    put(-1, "1 20 1 1 1 100 300 0\nminus one");
    EXPECT_EQ(levelFileName(-1), "./level/-1.txt");
    test::TestGame t;
    EXPECT_EQ(load(t, -1), "\nminus one\n");
    EXPECT_EQ(t.G.LEV_STR, "-1");
    EXPECT_EQ(load(t, 0), "\nzero\n");
}

TEST_F(LevelFile, FailuresEndWithTheGameErrorNumbers) {
    put(11, "2 50 20 10 1 1000 400 5\nthe briefing starts too early");
    EXPECT_EQ(errorLoading(11), RE_INVALID_NUMBER);
    put(12, "1 50 1 1 1 1e3");
    EXPECT_EQ(errorLoading(12), RE_INVALID_NUMBER);
    EXPECT_EQ(errorLoading(13), RE_FILE_NOT_FOUND);
    EXPECT_EQ(probeLevelFile(13), RE_FILE_NOT_FOUND);
    fs::create_directory("level/14.txt"); // a directory where the file should be
    EXPECT_EQ(errorLoading(14), RE_ACCESS_DENIED);
    put(15, "1");
    EXPECT_EQ(probeLevelFile(15), 0);
    if (geteuid() != 0) { // the superuser reads every file
        fs::permissions("level/15.txt", fs::perms::none);
        EXPECT_EQ(errorLoading(15), RE_ACCESS_DENIED);
    }
    fs::remove_all("level");
    EXPECT_EQ(errorLoading(1), RE_PATH_NOT_FOUND);
    EXPECT_EQ(probeLevelFile(1), RE_PATH_NOT_FOUND);
}

TEST_F(LevelFile, ErrorsLeaveOnlyAClearedConsole) {
    test::TestGame t;
    EXPECT_THROW(load(t, 99), RuntimeError);
    EXPECT_EQ(t.term.output, "\n<CLS>\n");
}

} // namespace
} // namespace gs
