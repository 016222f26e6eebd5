// Installing the game: what an install puts where and what uninstalling leaves, the
// installed program started from elsewhere finding its levels in the order it looks for
// them, the menu entry, the manual page, and the committed icons.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

#include "frontend/png/rgba_png.h"
#include "state/texts.h"
#include "tests/support/run_game.h"

namespace {

using namespace gs::test;

const fs::path PREFIX = GS_INSTALL_PREFIX;
const fs::path DATA = "share/games/gorvenshale";

/// Every file (or link) under `root`, relative to it, sorted.
std::vector<std::string> filesUnder(const fs::path& root) {
    std::vector<std::string> files;
    if (!fs::exists(root)) return files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory()) files.push_back(fs::relative(e.path(), root).string());
    std::sort(files.begin(), files.end());
    return files;
}

/// What an install puts under its prefix: the program, the levels of the source tree,
/// the menu entry, the icons, the manual page, and the licence and the changelog.
std::vector<std::string> expectedFiles() {
    std::vector<std::string> files{"games/gorvenshale", "share/applications/gorvenshale.desktop",
                                   "share/man/man6/gorvenshale.6.gz",
                                   "share/doc/gorvenshale/copyright",
                                   "share/doc/gorvenshale/changelog.gz"};
    for (const char* size : {"32x32", "64x64", "128x128", "192x192", "512x512"})
        files.push_back(std::string("share/icons/hicolor/") + size + "/apps/gorvenshale.png");
    for (const auto& e : fs::directory_iterator(fs::path(GS_SOURCE_DIR) / "level"))
        files.push_back((DATA / "level" / e.path().filename()).string());
    std::sort(files.begin(), files.end());
    return files;
}

int run(const std::string& command, std::string* out = nullptr) {
    int status = -1;
    std::string text = shell(command + " 2>&1", &status);
    if (out) *out = text;
    return status;
}

/// A level whose briefing names it, so a run shows which directory it came from.
void putLevel(const fs::path& dir, int lev, const std::string& marker) {
    fs::create_directories(dir);
    std::ofstream(dir / (std::to_string(lev) + ".txt")) << "1 50 5 5 0 1000 400 0\n" << marker;
}

TEST(Install, EveryFileInItsPlaceUnderDestdirAndUninstallTakesThemAway) {
    const fs::path dest = scratch("destdir");
    std::string out;
    ASSERT_EQ(run("DESTDIR=" + dest.string() + " cmake --install " GS_BUILD_DIR, &out), 0) << out;
    const fs::path root = dest / PREFIX.relative_path();
    EXPECT_EQ(filesUnder(root), expectedFiles());
    EXPECT_EQ(filesUnder(dest).size(), expectedFiles().size()) << "files outside the prefix";
    const auto mode = fs::status(root / "games/gorvenshale").permissions();
    EXPECT_NE(mode & fs::perms::others_exec, fs::perms::none);
    EXPECT_EQ(slurp(root / DATA / "level/1.txt"), slurp(fs::path(GS_SOURCE_DIR) / "level/1.txt"));

    // A level the player added to the installed directory stays, and so does the directory.
    putLevel(root / DATA / "level", 99, "mine");
    ASSERT_EQ(run("DESTDIR=" + dest.string() + " cmake --build " GS_BUILD_DIR " --target uninstall",
                  &out),
              0)
        << out;
    EXPECT_EQ(filesUnder(dest),
              std::vector<std::string>{(PREFIX.relative_path() / DATA / "level/99.txt").string()});
    fs::remove(root / DATA / "level/99.txt");
    ASSERT_EQ(
        run("DESTDIR=" + dest.string() + " cmake --build " GS_BUILD_DIR " --target uninstall"), 0);
    EXPECT_FALSE(fs::exists(root / DATA)) << "the game's own directories are left behind";
    fs::remove_all(dest);
}

// The installed program is this build's, so it looks for the installed levels under this
// build's prefix: the test installs there for real (make test-build puts it in the build).
TEST(Install, InstalledProgramFindsItsLevelsFromAnywhereInSearchOrder) {
    ASSERT_EQ(PREFIX.string().rfind(GS_BUILD_DIR, 0), 0u)
        << "configure the test build with -DCMAKE_INSTALL_PREFIX=<build>/prefix, as make "
           "test-build does: this test installs there";
    fs::remove_all(PREFIX);
    std::string out;
    ASSERT_EQ(run("DESTDIR= cmake --install " GS_BUILD_DIR, &out), 0) << out;
    const std::string program = (PREFIX / "games/gorvenshale").string();
    const fs::path installed = PREFIX / DATA / "level";
    const fs::path tmp = scratch("search"), home = tmp / "home", work = tmp / "work";
    const fs::path own = home / ".local/share/gorvenshale/level";
    fs::create_directories(home);
    fs::create_directories(work);
    const EnvChanges plain{{"HOME", home.string()}, {"XDG_DATA_HOME", std::nullopt}};
    const std::vector<std::string> quick{"--headless", "--fast"};
    // Play, Campaign, a key after the briefing: the input ends at the ammunition question.
    auto campaign = [&](const fs::path& cwd, const EnvChanges& env,
                        std::vector<std::string> args = {}) {
        args.insert(args.begin(), quick.begin(), quick.end());
        return runProgram(program, args, "1\n1\n\n", cwd, env);
    };

    // Started from /, with no level directory of the player's: the installed levels.
    GameRun fromRoot = campaign("/", plain);
    EXPECT_EQ(fromRoot.status, 100) << fromRoot.err;
    EXPECT_NE(fromRoot.out.find("Level 1 - Training ground"), std::string::npos) << fromRoot.out;
    EXPECT_EQ(count(fromRoot.out, gs::text::AMMO_QUESTION), 1);

    // The player's own directory comes before the installed one, as a whole: its level 1
    // is played, and a level it lacks is missing even though the installed one has it.
    putLevel(own, 1, "own level");
    EXPECT_NE(campaign(work, plain).out.find("own level"), std::string::npos);
    fs::remove(own / "1.txt");
    putLevel(own, 2, "own level 2");
    EXPECT_EQ(campaign(work, plain).status, 2);

    // XDG_DATA_HOME, when absolute, says where the player's files are; a relative one is
    // ignored.
    putLevel(tmp / "xdg/gorvenshale/level", 1, "xdg level");
    const EnvChanges xdg{{"HOME", home.string()}, {"XDG_DATA_HOME", (tmp / "xdg").string()}};
    EXPECT_NE(campaign(work, xdg).out.find("xdg level"), std::string::npos);
    const EnvChanges relative{{"HOME", home.string()}, {"XDG_DATA_HOME", "xdg"}};
    EXPECT_EQ(campaign(tmp, relative).status, 2); // the own directory under HOME, no level 1

    // ./level wins over everything, as it always did.
    putLevel(work / "level", 1, "current directory level");
    EXPECT_NE(campaign(work, xdg).out.find("current directory level"), std::string::npos);

    // --levels names the one directory: nothing else is looked at.
    putLevel(tmp / "mine", 1, "named level");
    EXPECT_NE(campaign(work, xdg, {"--levels", (tmp / "mine").string()}).out.find("named level"),
              std::string::npos);
    GameRun named = campaign(work, xdg, {"--levels", (tmp / "none").string()});
    EXPECT_EQ(named.status, 3);
    EXPECT_NE(
        named.err.find(std::string(gs::text::NO_LEVEL_DIRECTORY) + (tmp / "none").string() + "\n"),
        std::string::npos)
        << named.err;

    // None of the three: run-time error 3, and the report names each place looked at.
    fs::remove_all(own);
    fs::remove_all(installed);
    GameRun none = campaign(tmp, plain);
    EXPECT_EQ(none.status, 3);
    const std::string note = std::string(gs::text::NO_LEVEL_DIRECTORY) + "./level, " +
                             own.string() + ", " + installed.string() + "\n";
    ASSERT_GE(none.err.size(), note.size());
    EXPECT_EQ(none.err.substr(none.err.size() - note.size()), note);
    fs::remove_all(tmp);
    fs::remove_all(PREFIX);
}

TEST(Install, MenuEntryValidatesAndStartsTheInstalledProgramInOneWindow) {
    if (!haveTool("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is missing";
    const std::string entry = GS_BUILD_DIR "/gorvenshale.desktop";
    std::string out;
    EXPECT_EQ(run("desktop-file-validate " + entry, &out), 0) << out;
    EXPECT_EQ(out, "");
    const std::string text = slurp(entry);
    // One window: the menu starts no terminal, and the game needs none.
    EXPECT_NE(
        text.find("\nExec=" + (PREFIX / "games/gorvenshale").string() + " --console window\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\nTerminal=false\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nCategories=Game;StrategyGame;\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=gorvenshale\n"), std::string::npos);
}

// A desktop's menu loads the entry with its own library, which refuses an entry whose
// TryExec names no program and splits Exec as a shell would: under a prefix with a space,
// the entry must still load and start the game in one window. Without a display the game
// says its window cannot be opened, which shows it was started with --console window.
TEST(Install, MenuEntryIsAcceptedByTheDesktopLibraryUnderAPrefixWithASpace) {
    if (!haveTool("gio")) GTEST_SKIP() << "gio is missing (tools/deps.sh test installs it)";
    const fs::path prefix = scratch("menu entry") / "my games";
    const fs::path build = fs::path(GS_BUILD_DIR) / "menu-entry";
    std::string out;
    ASSERT_EQ(run("cmake -S " GS_SOURCE_DIR " -B " + build.string() +
                      " -DGS_TESTS=OFF '-DCMAKE_INSTALL_PREFIX=" + prefix.string() + "' >/dev/null",
                  &out),
              0)
        << out;
    // The program and the entry where an install puts them.
    const fs::path entry = prefix / "share/applications/gorvenshale.desktop";
    fs::create_directories(prefix / "games");
    fs::create_directories(entry.parent_path());
    fs::copy_file(GS_BINARY, prefix / "games/gorvenshale");
    fs::copy_file(build / "gorvenshale.desktop", entry);
    if (haveTool("desktop-file-validate")) {
        EXPECT_EQ(run("desktop-file-validate '" + entry.string() + "'", &out), 0) << out;
    }
    run("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 gio launch '" + entry.string() +
            "' </dev/null",
        &out);
    EXPECT_NE(out.find("The game's window cannot be opened here"), std::string::npos)
        << out << slurp(entry);
    fs::remove_all(prefix.parent_path());
}

TEST(Install, ManualPageRendersCleanlyAndNamesEveryOption) {
    if (!haveTool("man")) GTEST_SKIP() << "man is missing";
    const std::string page = GS_BUILD_DIR "/gorvenshale.6";
    std::string warnings;
    EXPECT_EQ(run("MANWIDTH=80 man --warnings -l " + page + " >/dev/null", &warnings), 0);
    EXPECT_EQ(warnings, "");
    // In the C locale every character is one byte, so a line's length is its width.
    const std::string text =
        shell("LC_ALL=C MANWIDTH=80 man -l " + page + " 2>/dev/null | col -bx");
    for (const char* section :
         {"NAME", "SYNOPSIS", "OPTIONS", "KEYS", "FILES", "EXIT STATUS", "EXAMPLES"})
        EXPECT_NE(text.find(std::string("\n") + section + "\n"), std::string::npos) << section;
    // The test prefix lives in the build tree, as long as the checkout's path; a real
    // installation's prefix is short, so lines are measured with /usr/local in its place.
    std::istringstream lines(text);
    const std::string prefix = PREFIX.string();
    for (std::string line; std::getline(lines, line);) {
        for (auto at = line.find(prefix); at != std::string::npos; at = line.find(prefix))
            line.replace(at, prefix.size(), "/usr/local");
        EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_NE(text.find(GS_VERSION), std::string::npos);
    EXPECT_NE(text.find((PREFIX / DATA / "level").string()), std::string::npos);
    // Every option of --help is described.
    const std::string help = runGame({"--help"}, "").out;
    const std::regex option("--[a-z]+");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
         it != std::sregex_iterator(); ++it)
        EXPECT_NE(text.find(it->str()), std::string::npos) << it->str();
}

TEST(Install, MakePlayOpensTheOneWindowWhereThereIsADisplay) {
    if (!haveTool("make")) GTEST_SKIP() << "make is missing";
    // What `make play` would start (make -n runs nothing), without the player's display.
    auto started = [](const std::string& vars) {
        std::istringstream lines(shell("cd " GS_SOURCE_DIR " && env -u DISPLAY -u WAYLAND_DISPLAY "
                                       "make -s -n play " +
                                       vars + " 2>&1"));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("./build/gorvenshale", 0) == 0) return line;
        return std::string("(not started)");
    };
    EXPECT_EQ(started("DISPLAY=:5"), "./build/gorvenshale --console window");
    EXPECT_EQ(started("WAYLAND_DISPLAY=wayland-0 ARGS=--fast"),
              "./build/gorvenshale --console window --fast");
    // No display, or options that choose for themselves: as they are.
    EXPECT_EQ(started(""), "./build/gorvenshale ");
    EXPECT_EQ(started("DISPLAY=:5 'ARGS=--console terminal --fast'"),
              "./build/gorvenshale --console terminal --fast");
    EXPECT_EQ(started("DISPLAY=:5 ARGS=--console=terminal"),
              "./build/gorvenshale --console=terminal");
    EXPECT_EQ(started("DISPLAY=:5 ARGS=--headless"), "./build/gorvenshale --headless");
}

// The icons are generated and committed: they must be what the sprite code draws now.
TEST(Install, CommittedIconsAreWhatTheSpriteCodeDraws) {
    const fs::path drawn = scratch("icons");
    std::string out;
    ASSERT_EQ(run(std::string(GS_ICON_TOOL) + " " + drawn.string(), &out), 0) << out;
    for (int size : {32, 64, 128, 192, 512}) {
        const std::string name = "gorvenshale-" + std::to_string(size) + ".png";
        gs::RgbaPicture committed, fresh;
        std::string error;
        ASSERT_TRUE(
            gs::readRgbaPng(std::string(GS_SOURCE_DIR) + "/dist/icons/" + name, committed, error))
            << error;
        ASSERT_TRUE(gs::readRgbaPng((drawn / name).string(), fresh, error)) << error;
        EXPECT_EQ(committed.width, size);
        EXPECT_EQ(committed.height, size);
        EXPECT_TRUE(committed.rgba == fresh.rgba) << name << " differs: run make icons";
    }
    fs::remove_all(drawn);
}

} // namespace
