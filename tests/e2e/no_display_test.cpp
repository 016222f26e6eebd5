// Without a display the game must not play its battle unseen on one of SDL's invisible
// drivers: it says why no window opened, points to --headless, and ends at the battle's
// first drawing with "Not in graphics mode" and status 1, before the first question.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "picture/graph.h"
#include "state/texts.h"
#include "tests/support/run_game.h"

namespace gs {
namespace {

using namespace gs::test;

/// The display variables the test changes, put back afterwards.
class NoDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "ASAN_OPTIONS"})
            if (const char* v = std::getenv(name)) saved_.push_back({name, v});
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("SDL_VIDEODRIVER");
        // The X libraries keep memory to the end of the process; that is theirs.
        ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    }
    void TearDown() override {
        ::unsetenv("ASAN_OPTIONS");
        for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
    }

    /// Custom level 1, its first key, and a shot that is never asked for.
    static GameRun playLevelOne() {
        return runGame({"--fast", "--seed", "7"}, "1\n2\n1\n\n1\n22 32\n");
    }
    static void expectTheWindowFailurePath(const GameRun& r) {
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE(r.out.find(Graph::notInGraphicsMode()), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find(text::AMMO_QUESTION), std::string::npos) << r.out;
        EXPECT_NE(r.err.find("--headless"), std::string::npos) << r.err;
        // SDL's and libwayland's own complaints stay out of the console.
        EXPECT_EQ(r.err.find("XDG_RUNTIME_DIR"), std::string::npos) << r.err;
        EXPECT_EQ(count(r.err, "\n"), 2) << r.err;
    }

private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(NoDisplay, WithNoDisplayNamedTheBattleEndsAtItsFirstDrawing) {
    expectTheWindowFailurePath(playLevelOne());
}

TEST_F(NoDisplay, ADisplayWithNoServerEndsTheBattleTheSameWay) {
    // The first display number from 99 on that no X server here has taken.
    int n = 99;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
           std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
        ++n;
    ::setenv("DISPLAY", (":" + std::to_string(n)).c_str(), 1);
    expectTheWindowFailurePath(playLevelOne());
}

TEST_F(NoDisplay, TheOneWindowSaysSoAtOnce) {
    const GameRun r = runGame({"--console", "window", "--fast"}, "1\n2\n1\n");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("--console terminal --headless"), std::string::npos) << r.err;
    EXPECT_EQ(count(r.err, "\n"), 2) << r.err;
}

} // namespace
} // namespace gs
