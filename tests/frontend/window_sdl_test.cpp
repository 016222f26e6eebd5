// The SDL window on SDL's dummy video driver, and the window size chosen from the desktop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "console/console.h"
#include "frontend/sdl/window.h"
#include "picture/graph.h"
#include "picture/picture_size.h"
#include "system/runtime_error.h"

namespace gs {
namespace {

TEST(Window, OpensDrawsClosesAndOpensAgain) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    Graph g{Graph::Config{false, 320, 200, true}};
    g.setWindowFactory(sdlWindowFactory());
    for (int round = 0; round < 2; ++round) {
        i16 d = 0, m = 30000;
        g.InitGraph(d, m, "");
        ASSERT_TRUE(g.isOpen()) << "round " << round;
        EXPECT_FALSE(g.windowFailed());
        EXPECT_EQ(g.GetMaxX(), 319);
        EXPECT_EQ(g.GetMaxY(), 199);
        EXPECT_EQ(g.pixel(12, 12), 0);
        g.SetFillStyle(1, 2);
        g.Bar(10, 10, 100, 100);
        g.FillEllipse(160, 100, 30, 20);
        g.OutTextXY(5, 5, "Graph");
        EXPECT_EQ(g.pixel(12, 12), 2);
        g.CloseGraph();
        EXPECT_FALSE(g.isOpen());
    }
}

/// Polls `ok` for up to ten seconds.
template <class Ok> bool eventually(Ok ok) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!ok()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

/// Closes the game's window as the player's click does. SDL numbers windows from 1 after
/// it starts its video; the window is looked up by no SDL call here, since SDL's list of
/// windows belongs to the window's thread.
void closeTheWindow() {
    for (Uint32 id = 1; id <= 8; ++id) {
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = id;
        ASSERT_EQ(SDL_PushEvent(&close), 1);
    }
}

/// The threads of this process: a window brings two (its own and its waker).
long threads() {
    std::error_code ec;
    return std::distance(std::filesystem::directory_iterator("/proc/self/task", ec),
                         std::filesystem::directory_iterator());
}

TEST(Window, ClosedByThePlayerTheGamePlaysOnAndTheNextBattleOpensAnother) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    Graph g{Graph::Config{false, 320, 200, true}};
    g.setWindowFactory(sdlWindowFactory());
    i16 d = 0, m = 30000;
    g.InitGraph(d, m, "");
    const long withWindow = threads();
    closeTheWindow();
    // The window and its threads go; the game draws on into its picture.
    ASSERT_TRUE(eventually([&] { return threads() == withWindow - 2; }));
    g.SetFillStyle(1, 4);
    g.Bar(10, 10, 50, 50);
    g.OutTextXY(60, 60, "on");
    EXPECT_EQ(g.pixel(20, 20), 4);
    EXPECT_FALSE(g.windowFailed());
    g.CloseGraph();
    g.InitGraph(d, m, "");
    EXPECT_TRUE(g.isOpen());
    EXPECT_EQ(threads(), withWindow);
    g.CloseGraph();
}

TEST(Window, ALaterBattleWithoutADisplayTakesTheFailurePath) {
    // The display goes away between two battles; SDL must not fall back to its invisible
    // offscreen driver for the second window.
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    Graph g{Graph::Config{false, 320, 200, true}};
    g.setWindowFactory(sdlWindowFactory());
    i16 d = 0, m = 30000;
    g.InitGraph(d, m, "");
    ASSERT_FALSE(g.windowFailed());
    g.CloseGraph();
    std::vector<std::pair<std::string, std::string>> kept;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* v = std::getenv(name)) kept.push_back({name, v});
    ::unsetenv("SDL_VIDEODRIVER");
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    testing::internal::CaptureStderr();
    g.InitGraph(d, m, "");
    const std::string err = testing::internal::GetCapturedStderr();
    for (const auto& [name, value] : kept) ::setenv(name.c_str(), value.c_str(), 1);
    EXPECT_TRUE(g.windowFailed());
    EXPECT_NE(err.find("--headless"), std::string::npos) << err;
}

TEST(Window, FailureEndsTheGameAtTheFirstDrawing) {
    Graph g{Graph::Config{false, 320, 200, true}};
    g.setWindowFactory(
        [](Graph&, const Graph::Config&, std::string& error) -> std::unique_ptr<Presenter> {
            error = "Window creation failed";
            return nullptr;
        });
    std::string said;
    g.setFatalHandler([&](const std::string& m) {
        said = m;
        throw std::runtime_error("ended");
    });
    i16 d = 0, m = 30000;
    testing::internal::CaptureStderr();
    g.InitGraph(d, m, ""); // returns as if all were well
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Window creation failed"), std::string::npos);
    EXPECT_NE(err.find("--headless"), std::string::npos);
    EXPECT_TRUE(g.windowFailed());
    EXPECT_THROW(g.SetColor(4), std::runtime_error);
    EXPECT_EQ(said, "Error: Not in graphics mode (use InitGraph and test GraphResult afterwards)");
}

void drawWithoutAWindow() {
    Graph g{Graph::Config{false, 320, 200, true}};
    g.setWindowFactory([](Graph&, const Graph::Config&,
                          std::string&) -> std::unique_ptr<Presenter> { return nullptr; });
    i16 d = 0, m = 30000;
    g.InitGraph(d, m, "");
    g.Line(0, 0, 5, 5);
}

TEST(Window, FailureExitsWithStatusOne) {
    EXPECT_EXIT(drawWithoutAWindow(), ::testing::ExitedWithCode(1), "");
}

TEST(WindowSize, TheMaximizedWindowWinsOnAFullWidthDesktop) {
    // 1920x1080 with a 40-pixel panel at the bottom; frames 1 pixel, caption 30.
    Desktop d{1920, 1080, 1920, 1040, 1, 1, 31, 1};
    WindowSize s = chooseWindowSize(d);
    EXPECT_TRUE(s.maximized);
    EXPECT_EQ(s.maxX, 1919);
    EXPECT_EQ(s.maxY, 1040 - 30 - 1);
}

TEST(WindowSize, ASideDockLeavesTheLargestWindow) {
    // A dock takes 70 pixels on the left: the largest window (not maximized) is wider.
    Desktop d{1366, 768, 1296, 768, 4, 4, 28, 4};
    WindowSize s = chooseWindowSize(d);
    EXPECT_FALSE(s.maximized);
    EXPECT_EQ(s.maxX, 1366 - 8 - 1);
    EXPECT_EQ(s.maxY, 768 - 32 - 1);
}

TEST(WindowSize, NothingReportedFallsBackToAUsualSize) {
    WindowSize s = chooseWindowSize(Desktop{});
    EXPECT_EQ(s.maxX, 639);
    EXPECT_EQ(s.maxY, 479);
}

TEST(OneWindow, ThePaneTakesABandUnderThePictureAndGrowsOnLargeScreens) {
    // 80 x 20 cells of 8 x 16: a 1280 x 1024 desktop keeps 704 rows for the battlefield.
    WindowLayout l = oneWindowLayout(1280, 1024, 80, 20);
    EXPECT_EQ(l.paneScale, 1);
    EXPECT_EQ(l.picture, (PixelRect{0, 0, 1280, 704}));
    EXPECT_EQ(l.pane, (PixelRect{320, 704, 640, 320}));
    // A 4K screen doubles the cells and still leaves the picture three fifths of the height.
    l = oneWindowLayout(3840, 2160, 80, 20);
    EXPECT_EQ(l.paneScale, 2);
    EXPECT_EQ(l.picture, (PixelRect{0, 0, 3840, 1520}));
    EXPECT_EQ(l.pane, (PixelRect{1280, 1520, 1280, 640}));
    // Too small a window: the pane keeps its cells, the picture gets what is left.
    l = oneWindowLayout(600, 300, 80, 20);
    EXPECT_EQ(l.paneScale, 1);
    EXPECT_TRUE(l.picture.empty());
    EXPECT_EQ(l.pane.height, 300);
}

TEST(OneWindow, TypedKeysReachThePaneAndThePictureTakesTheArea) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    PaneTerminal pane(80, 20);
    const Graph::Config picture{false, 0, 0, false, 1};
    std::string error;
    auto window = GameWindow::open(GameWindow::Setup{"Gorvenshale", picture, &pane, {}}, error);
    ASSERT_TRUE(window) << error;
    Graph g(picture);
    g.setWindowFactory(window->pictureFactory());
    i16 d = 0, m = 30000;
    g.InitGraph(d, m, "");
    // The dummy screen is 1024 x 768: narrower than the battlefield, and the 448 rows
    // above the pane's 320 are too few for the battle, so the picture holds the whole
    // battlefield and is shown shrunk.
    EXPECT_EQ(g.GetMaxX() + 1, BATTLEFIELD_W);
    EXPECT_EQ(g.GetMaxY() + 1, BATTLE_H);
    g.Bar(0, 0, 10, 10);
    g.CloseGraph();

    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "\xC3\xA9"
                                "1");
    ASSERT_EQ(SDL_PushEvent(&text), 1);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_RETURN;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    key.key.keysym.sym = SDLK_a; // its text comes as text input, not as a key
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    key.key.keysym.sym = SDLK_LEFT;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    for (int want : {0xC3, 0xA9, int('1'), KEY_ENTER, KEY_LEFT}) EXPECT_EQ(pane.waitKey(), want);
    EXPECT_EQ(window->end(), GameWindow::End::NONE);
    // Ctrl+C ends the game: the window says so, and no key comes any more.
    key.key.keysym.sym = SDLK_c;
    key.key.keysym.mod = KMOD_LCTRL;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    EXPECT_TRUE(eventually([&] { return window->end() == GameWindow::End::PLAYER; }));
    EXPECT_TRUE(pane.closed());
    // A drawing call after that ends the game too, as the next wait for a key would.
    Graph late(picture);
    late.setWindowFactory(window->pictureFactory());
    EXPECT_THROW(late.InitGraph(d, m, ""), RuntimeError);
    late.CloseGraph();
    window.reset();

    // Closing the window does the same.
    PaneTerminal again(80, 20);
    window = GameWindow::open(GameWindow::Setup{"Gorvenshale", picture, &again, {}}, error);
    ASSERT_TRUE(window) << error;
    closeTheWindow();
    EXPECT_TRUE(eventually([&] { return window->end() == GameWindow::End::PLAYER; }));
    EXPECT_TRUE(again.closed());
    window.reset(); // before the pane it points to
}

} // namespace
} // namespace gs
