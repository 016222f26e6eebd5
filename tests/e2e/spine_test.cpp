// The built game, run with piped input: menus, exit statuses and the run-time error report.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "state/texts.h"
#include "tests/support/run_game.h"

namespace {

using namespace gs::test;

const std::vector<std::string> kQuick{"--headless", "--fast"};

TEST(SpineE2E, MenusAboutAndQuitInPlainText) {
    GameRun r = runGame(kQuick, "0\n2\n\n3\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(count(r.out, gs::text::SELECT_MENU_POINT), 3);
    EXPECT_EQ(count(r.out, "Gorvenshale version"), 1);
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos); // no control sequences
    EXPECT_EQ(r.out.find('\r'), std::string::npos);   // plain line ends
    // The Enter that left About is an empty line at the next menu; then 3 quits.
    const std::string tail = "Select menu point\n\n3\n";
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
}

TEST(SpineE2E, RuntimeErrorReportAndExitStatus) {
    const std::regex report("^Runtime error ([0-9]+) at \\$[0-9A-F]{8}\n(  \\$[0-9A-F]{8}.*\n)+$");
    // A level file with a value that is not a number: nobody can be asked again.
    const fs::path dir = scratch("bad_level");
    fs::create_directory(dir / "level");
    std::ofstream(dir / "level" / "1.txt") << "1 50 5 five 0 1000 400 0\nBriefing\n";
    GameRun bad = runGame(kQuick, "1\n1\n", dir);
    fs::remove_all(dir);
    EXPECT_EQ(bad.status, 106);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(bad.err, m, report)) << bad.err;
    EXPECT_EQ(m[1], "106");

    GameRun ended = runGame(kQuick, "1\n"); // the game-type menu waits for input that never comes
    EXPECT_EQ(ended.status, 100);
    EXPECT_TRUE(std::regex_search(ended.err, std::regex("^Runtime error 100 at \\$")));
    EXPECT_EQ(count(ended.out, gs::text::SELECT_GAME_TYPE), 1);
    EXPECT_EQ(runGame(kQuick, "").status, 100);
}

TEST(SpineE2E, LevelErrorsAndCommandLine) {
    char tmpl[] = "/tmp/gs-e2e-levels-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    // No level directory: --levels keeps the player's and the installed ones out of it.
    const std::string missing = std::string(tmpl) + "/level";
    GameRun none = runGame({"--headless", "--fast", "--levels", missing}, "1\n2\n5\n", tmpl);
    EXPECT_EQ(none.status, 3);
    const std::string note = std::string(gs::text::NO_LEVEL_DIRECTORY) + missing + "\n";
    ASSERT_GE(none.err.size(), note.size());
    EXPECT_EQ(none.err.substr(none.err.size() - note.size()), note); // the report's last line
    fs::create_directory(fs::path(tmpl) / "level");
    EXPECT_EQ(runGame(kQuick, "1\n1\n", tmpl).status, 2); // the campaign needs level 1
    fs::remove_all(tmpl);

    GameRun help = runGame({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: gorvenshale", 0), 0u);
    EXPECT_EQ(runGame({"--version"}, "").out, std::string("Gorvenshale ") + GS_VERSION + "\n");
    GameRun bad = runGame({"--size", "1x1"}, "3\n");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err.rfind("gorvenshale: ", 0), 0u);
    EXPECT_NE(bad.err.find("\nUsage: gorvenshale"), std::string::npos);
}

TEST(SpineE2E, HelpAndVersionThatCannotBeWrittenAreReported) {
    // A full device and a closed standard output: the text is lost, and the program says
    // so on standard error with the game's status for a failed write, 101.
    const std::string game = std::string("'") + GS_BINARY + "'";
    for (const auto& [command, why] : std::vector<std::pair<std::string, std::string>>{
             {" --help 2>&1 >/dev/full", "the usage could not be written: No space left"},
             {" --version 2>&1 >&-", "the version could not be written: Bad file descriptor"}}) {
        int status = -1;
        const std::string err = shell(game + command, &status);
        EXPECT_EQ(status, 101) << command;
        EXPECT_EQ(err.rfind("gorvenshale: " + why, 0), 0u) << err;
        EXPECT_EQ(count(err, "\n"), 1) << err;
    }
}

TEST(SpineE2E, SameSeedSameInputSameGame) {
    // A Skirmish: its roster, the enemy's fire and every picture come from the seed.
    const std::string input = "1\n3\n3\n\n1\n30 45\n1\n40 40\n";
    std::vector<std::vector<std::string>> pictures;
    std::vector<GameRun> runs;
    for (int i = 0; i < 2; ++i) {
        char tmpl[] = "/tmp/gs-e2e-seed-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        fs::path shots = fs::path(tmpl) / "shots";
        runs.push_back(
            runGame({"--headless", "--fast", "--seed", "7", "--snapshots", shots.string()}, input));
        std::vector<std::string> files;
        if (fs::exists(shots))
            for (const auto& e : fs::directory_iterator(shots)) files.push_back(e.path().string());
        std::sort(files.begin(), files.end());
        std::vector<std::string> content;
        for (const auto& f : files) content.push_back(slurp(f));
        pictures.push_back(content);
        fs::remove_all(tmpl);
    }
    EXPECT_EQ(runs[0].status, runs[1].status);
    EXPECT_EQ(runs[0].out, runs[1].out);
    EXPECT_FALSE(pictures[0].empty());
    EXPECT_TRUE(pictures[0] == pictures[1]) << "the pictures of two runs differ";
}

} // namespace
