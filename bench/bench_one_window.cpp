// The one window and the scaled picture on a 4K screen: what one shown change of the whole
// picture costs (composing it alone, and the window's full path to the X server), how long
// a typed key takes to show in the pane, and what the window costs while the game waits.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "bench/frames_shown.h"
#include "bench/player_path.h"
#include "console/pane_terminal.h"
#include "frontend/sdl/window.h"
#include "picture/picture_view.h"
#include "state/texts.h"

namespace gs {
namespace {

using namespace gs::bench;
using Wall = std::chrono::steady_clock;

constexpr int SCREEN_W = 3840, SCREEN_H = 2160, COLS = 80, ROWS = 20;

double msSince(Wall::time_point t0) {
    return std::chrono::duration<double, std::milli>(Wall::now() - t0).count();
}

/// Waits (spinning, so the wait costs no wake-up) until the window has shown a frame after
/// `before`; false after a second.
bool frameShownAfter(std::uint64_t before) {
    const auto end = Wall::now() + std::chrono::seconds(1);
    while (framesShown() <= before)
        if (Wall::now() > end) return false;
    return true;
}

/// Composing one whole present in memory: a 1920x1080 picture at scale 2 into a
/// 3840x2160 window, and the pane's 80 x 20 cells at the cell size that window gives.
void BM_ComposeWholePresent(benchmark::State& st) {
    std::vector<std::uint32_t> window(std::size_t(SCREEN_W) * SCREEN_H);
    std::vector<std::uint8_t> picture(std::size_t(1920) * 1080);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = std::uint8_t(i * 7 % 16);
    TextGrid grid(COLS, ROWS);
    for (int row = 1; row <= ROWS; ++row)
        grid.write("Select a type of the ammunition (1-fugasy, 2-armor-biting\r\n");
    PaneRenderer pane(grid);
    PixelPalette palette{};
    for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
    const WindowLayout l = oneWindowLayout(SCREEN_W, SCREEN_H, COLS, ROWS);
    const PixelTarget all{window.data(), SCREEN_W * 4, 0, 0, SCREEN_W, SCREEN_H};
    for (auto _ : st) {
        benchmark::DoNotOptimize(paintPicture(picture.data(), 1920, 1080, {0, 0, 1920, 1080}, all,
                                              {0, 0, SCREEN_W, SCREEN_H}, palette));
        if (st.range(0) == 0) continue;
        pane.invalidate();
        benchmark::DoNotOptimize(pane.render(
            {window.data(), SCREEN_W * 4, l.pane.x, l.pane.y, l.pane.width, l.pane.height}, palette,
            {l.paneScale, 7, 0, true}));
    }
}
BENCHMARK(BM_ComposeWholePresent)->ArgName("pane")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

/// Composing one shrunk present in memory: a picture larger than the 3840x2160 window (a
/// demo recorded on a larger screen; the arguments are its width and height) shown whole,
/// each shown pixel the highest colour of the picture pixels under it; `change` 0 the
/// whole picture (a new battle, a resized window), else a square of that side where a
/// battle's frame changes it (a shell's explosion is at most about 200 pixels across).
void BM_ComposeShrunkPresent(benchmark::State& st) {
    const int pw = static_cast<int>(st.range(0)), ph = static_cast<int>(st.range(1));
    const int side = static_cast<int>(st.range(2));
    const PixelRect changed =
        side > 0 ? PixelRect{pw / 2, 300, side, side} : PixelRect{0, 0, pw, ph};
    std::vector<std::uint32_t> window(std::size_t(SCREEN_W) * SCREEN_H);
    std::vector<std::uint8_t> picture(std::size_t(pw) * std::size_t(ph));
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = std::uint8_t(i * 7 % 16);
    PixelPalette palette{};
    for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
    const PixelTarget all{window.data(), SCREEN_W * 4, 0, 0, SCREEN_W, SCREEN_H};
    const PixelRect shown = fitPicture(pw, ph, SCREEN_W, SCREEN_H);
    for (auto _ : st)
        benchmark::DoNotOptimize(
            paintPicture(picture.data(), pw, ph, changed, all, shown, palette));
}
BENCHMARK(BM_ComposeShrunkPresent)
    ->ArgNames({"w", "h", "change"})
    ->Args({4096, 2304, 0})
    ->Args({7680, 4320, 0})
    ->Args({4096, 2304, 200})
    ->Unit(benchmark::kMillisecond);

/// One present of a change of the whole picture (its time is the window thread's, from
/// taking the change to the X server's having the frame), and the whole way from the
/// game's drawing to that frame (mean_ms): the battlefield window of a 1920x1080 picture
/// at scale 2 (3840x2160), and the one window at scale 2 with its pane.
void BM_WholePictureShown(benchmark::State& st) {
    const bool oneWindow = st.range(0) != 0;
    Screen::get();
    PaneTerminal pane(COLS, ROWS);
    std::unique_ptr<GameWindow> window;
    Graph::WindowFactory factory;
    if (oneWindow) {
        std::string error;
        window = GameWindow::open(
            {text::TITLE, Graph::Config{false, 0, 0, false, 2}, &pane, shownFrames().observer()},
            error);
        if (!window) {
            st.SkipWithError(error.c_str());
            return;
        }
        factory = window->pictureFactory();
        for (int row = 1; row <= ROWS; ++row) pane.write("Enter speed and angle of the shot\r\n");
    }
    PracticeGame p(true, 1920, 1080, 2, factory);
    double longest = 0, total = 0, present = 0, presentLongest = 0;
    int n = 0;
    bool blue = false;
    for (auto _ : st) {
        sleepMs(40); // a quiet spell: the change is shown at once, not on the frame grid
        const std::uint64_t before = framesShown();
        const auto t0 = Wall::now();
        p.G.gr.ClearDevice();
        // Every other time on blue: every pixel of the background differs, so the whole
        // picture goes out (a field drawn again the same would send nothing).
        blue = !blue;
        if (blue) {
            p.G.gr.SetFillStyle(1, colour::Blue);
            p.G.gr.Bar(0, 0, p.G.gr.GetMaxX(), p.G.gr.GetMaxY());
        }
        p.drawBattlefield();
        if (!frameShownAfter(before)) {
            st.SkipWithError("no frame shown");
            break;
        }
        const double ms = msSince(t0);
        const double presentMs = static_cast<double>(lastPresentNanos()) / 1e6;
        st.SetIterationTime(presentMs / 1e3);
        longest = std::max(longest, ms);
        total += ms;
        present += presentMs;
        presentLongest = std::max(presentLongest, presentMs);
        ++n;
    }
    st.counters["present_ms"] = n ? present / n : 0;
    st.counters["present_longest_ms"] = presentLongest;
    st.counters["picture_w"] = p.G.gr.width();
    st.counters["picture_h"] = p.G.gr.height();
    st.counters["mean_ms"] = n ? total / n : 0;
    st.counters["longest_ms"] = longest;
    st.SetLabel(Screen::get().label());
}
BENCHMARK(BM_WholePictureShown)
    ->ArgNames({"one_window"})
    ->Arg(0)
    ->Arg(1)
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

/// A typed key, from the desktop's text input to the frame that shows its echo in the
/// pane, with the game's side echoing as the console does; and the CPU the whole program
/// uses over 3 s while the game waits for a key.
void BM_OneWindowKeyToEcho(benchmark::State& st) {
    Screen::get();
    PaneTerminal pane(COLS, ROWS);
    std::string error;
    auto window = GameWindow::open(
        {text::TITLE, Graph::Config{false, 0, 0, false, 1}, &pane, shownFrames().observer()},
        error);
    if (!window) {
        st.SkipWithError(error.c_str());
        return;
    }
    pane.write("Enter speed and angle of the shot\r\n");
    std::atomic<bool> stop{false};
    std::thread game([&] {
        try {
            for (;;) {
                const int key = pane.waitKey();
                if (stop) return;
                const char echo = static_cast<char>(key);
                pane.write(std::string_view(&echo, 1));
            }
        } catch (...) {
        }
    });
    sleepMs(300);
    double longest = 0, total = 0;
    int n = 0;
    for (auto _ : st) {
        sleepMs(30);
        const std::uint64_t before = framesShown();
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::strcpy(e.text.text, "7");
        const auto t0 = Wall::now();
        SDL_PushEvent(&e);
        if (!frameShownAfter(before)) {
            st.SkipWithError("no echo shown");
            break;
        }
        const double ms = msSince(t0);
        st.SetIterationTime(ms / 1e3);
        longest = std::max(longest, ms);
        total += ms;
        ++n;
    }
    // Waiting: the game blocked on its key, the window asleep.
    sleepMs(200);
    CpuMeter meter;
    const auto t0 = Wall::now();
    sleepMs(3000);
    const double waited = msSince(t0);
    st.counters["wait_cpu_percent"] = 100.0 * meter.processMs() / waited;
    st.counters["mean_ms"] = n ? total / n : 0;
    st.counters["longest_ms"] = longest;
    st.SetLabel(Screen::get().label());
    stop = true;
    pane.close();
    game.join();
}
BENCHMARK(BM_OneWindowKeyToEcho)->Iterations(30)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
} // namespace gs
