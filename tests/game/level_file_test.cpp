// Level files: the numbers, the briefing lines, the roster bounds and the error numbers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

#include "game/level_file.h"
#include "state/texts.h"
#include "system/runtime_error.h"
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
    static int errorLoading(int lev, const LevelDirectory& dir = {}) {
        test::TestGame t;
        t.G.levels = dir;
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
    t.G.unit(3).X = 123;     // a slot the level does not use keeps what it held
    t.G.unit(1).HEALTH = -5; // hit points belong to the level start, not the loader
    EXPECT_EQ(load(t, 1), "\nfirst line of the briefing\nsecond line\n");
    const State& s = t.G;
    EXPECT_EQ(s.LEV_STR, "1");
    EXPECT_EQ((std::vector<int>{s.NUMB, s.GUNX, s.FS, s.BS, s.TS, s.MAXGUNHP}),
              (std::vector<int>{2, 50, 20, 10, 1, 1000}));
    EXPECT_EQ((std::vector<int>{s.unit(1).X, s.unit(1).TYP, s.unit(2).X, s.unit(2).TYP}),
              (std::vector<int>{400, T_LTANK, 700, T_HOUSE}));
    EXPECT_EQ(s.unit(3).X, 123);
    EXPECT_EQ(s.unit(1).HEALTH, -5);
}

TEST_F(LevelFile, BriefingLinesAndLineEnds) {
    // Numbers and briefing on one line: the text after the last number is the first line.
    put(2, "1 50 20 10 1 1000 400 5 Hello there\nnext");
    test::TestGame t;
    EXPECT_EQ(load(t, 2), " Hello there\nnext\n");

    const std::string head = "1 50 1 1 1 100 300 0";
    std::string longLine(300, 'L');
    longLine[255] = 'X';
    put(3, head + "\n" + longLine + "\nafter\n");
    EXPECT_EQ(load(t, 3), "\n" + longLine.substr(0, 255) + "\nafter\n");
    put(4, head); // the last number ends the file: one empty line
    EXPECT_EQ(load(t, 4), "\n");
    for (std::string eol : {"\r", "\n", "\r\n"}) {
        put(6, "1" + eol + "50 1 1 1 100 300 0" + eol + "one" + eol + eol + "three" + eol);
        EXPECT_EQ(load(t, 6), "\none\n\nthree\n") << "line end of " << eol.size();
        EXPECT_EQ(t.G.GUNX, 50);
    }
}

TEST_F(LevelFile, NotationsWrapToSixteenBitsAndMissingNumbersAreZero) {
    put(7, "$1 70000 %11 &17 -1 0x10 -32769 11");
    test::TestGame t;
    load(t, 7);
    const State& s = t.G;
    EXPECT_EQ((std::vector<int>{s.NUMB, s.GUNX, s.FS, s.BS, s.TS, s.MAXGUNHP, s.unit(1).X}),
              (std::vector<int>{1, 4464, 3, 15, -1, 16, 32767}));

    put(8, "3 60");
    t.G.unit(2).TYP = 9;
    EXPECT_EQ(load(t, 8), "\n");
    EXPECT_EQ(s.NUMB, 3);
    EXPECT_EQ(s.MAXGUNHP, 0);
    EXPECT_EQ(s.unit(2).TYP, 0); // a missing unit is a target at 0
}

TEST_F(LevelFile, RosterBoundsAndLevelNumbers) {
    std::string f = "22 50 1 1 1 100";
    for (int i = 1; i <= 22; ++i) f += " " + std::to_string(100 + i) + " " + std::to_string(i % 11);
    put(9, f + "\nbriefing\n");
    test::TestGame t;
    EXPECT_EQ(load(t, 9), "\nbriefing\n"); // the units past 20 are read, not kept
    EXPECT_EQ(t.G.NUMB, MAXUNITS);
    EXPECT_EQ(t.G.unit(20).X, 120);

    put(-1, "-2 50 1 1 1 100\nminus one");
    EXPECT_EQ(load(t, -1), "\nminus one\n"); // no units: the briefing follows the header
    EXPECT_EQ(t.G.NUMB, -2);
    EXPECT_EQ(t.G.units(), 0);
    EXPECT_EQ(t.G.LEV_STR, "-1");
    EXPECT_EQ(levelFileName(LevelDirectory{}, -1), "./level/-1.txt");
}

TEST_F(LevelFile, FailuresEndWithTheGameErrorNumbers) {
    put(11, "2 50 20 10 1 1000 400 5\nthe briefing starts too early");
    EXPECT_EQ(errorLoading(11), RE_INVALID_NUMBER);
    put(12, "1 0X32 1 1 1 100 400 5\nonly the lower-case 0x is hexadecimal");
    EXPECT_EQ(errorLoading(12), RE_INVALID_NUMBER);
    EXPECT_EQ(errorLoading(13), RE_FILE_NOT_FOUND);
    EXPECT_EQ(probeLevelFile(LevelDirectory{}, 13), RE_FILE_NOT_FOUND);
    fs::create_directory("level/14.txt"); // a directory where the file should be
    EXPECT_EQ(errorLoading(14), RE_ACCESS_DENIED);
    put(15, "1");
    EXPECT_EQ(probeLevelFile(LevelDirectory{}, 15), 0);
    if (geteuid() != 0) { // the superuser reads every file
        fs::permissions("level/15.txt", fs::perms::none);
        EXPECT_EQ(errorLoading(15), RE_ACCESS_DENIED);
    }
    fs::remove_all("level");
    EXPECT_EQ(errorLoading(1), RE_PATH_NOT_FOUND);
    // Nothing but a cleared console was shown.
    test::TestGame t;
    EXPECT_THROW(load(t, 1), RuntimeError);
    EXPECT_EQ(t.term.output, "\n<CLS>\n");
}

TEST_F(LevelFile, TheFirstDirectoryThatExistsHoldsEveryLevel) {
    fs::remove_all("level");
    std::ofstream("level") << "a file where the directory would be";
    fs::create_directories("own/level");
    fs::create_directories("installed/level");
    std::ofstream("installed/level/1.txt") << "1 50 5 5 0 1000 400 0\n";
    const LevelDirectory own = findLevelDirectory({"./level", "own/level/", "installed/level"});
    EXPECT_EQ(own.found, "own/level/");
    EXPECT_EQ(levelFileName(own, 1), "own/level/1.txt");
    EXPECT_EQ(probeLevelFile(own, 1), RE_FILE_NOT_FOUND); // not taken from the installed levels

    const LevelDirectory none = findLevelDirectory({"none", "./level"});
    EXPECT_FALSE(none.found);
    EXPECT_EQ(probeLevelFile(none, 1), RE_PATH_NOT_FOUND);
    EXPECT_EQ(errorLoading(1, none), RE_PATH_NOT_FOUND);
    EXPECT_EQ(missingLevelDirectoryNote(none),
              std::string(text::NO_LEVEL_DIRECTORY) + "none, ./level\n");

    // A directory found at the start and gone later is the one the report names.
    const LevelDirectory gone = findLevelDirectory({"own/level"});
    fs::remove_all("own");
    EXPECT_EQ(errorLoading(1, gone), RE_PATH_NOT_FOUND);
    EXPECT_EQ(missingLevelDirectoryNote(gone),
              std::string(text::NO_LEVEL_DIRECTORY) + "own/level\n");

    // The places come from the environment and --levels: a byte that a terminal would act
    // on, or a line end, is shown escaped and the report stays one line.
    EXPECT_EQ(missingLevelDirectoryNote(findLevelDirectory({"a\x1b[2Jb\nc"})),
              std::string(text::NO_LEVEL_DIRECTORY) + "a\\x1B[2Jb\\x0Ac\n");
}

TEST_F(LevelFile, ARelativeHomeOrDataHomeNamesNoPlayerDirectory) {
    // A relative path would be read from wherever the game happens to be started.
    auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto home = keep("HOME"), data = keep("XDG_DATA_HOME");
    auto placesWith = [](const char* homeValue, const char* dataValue) {
        setenv("HOME", homeValue, 1);
        setenv("XDG_DATA_HOME", dataValue, 1);
        return levelDirectoryPlaces(std::nullopt);
    };
    const std::vector<std::string> none{"./level", installedLevelDirectory()};
    EXPECT_EQ(placesWith("games", "share"), none);
    EXPECT_EQ(placesWith("/home/p/", "share"),
              (std::vector<std::string>{"./level", "/home/p/.local/share/gorvenshale/level",
                                        installedLevelDirectory()}));
    EXPECT_EQ(placesWith("games", "/data"),
              (std::vector<std::string>{"./level", "/data/gorvenshale/level",
                                        installedLevelDirectory()}));
    for (const auto& [name, value] : {std::pair{"HOME", home}, std::pair{"XDG_DATA_HOME", data}})
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}

} // namespace
} // namespace gs
