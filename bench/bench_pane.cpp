// What the console pane costs to draw at a 4K window's width (240 columns at scale 2):
// everything at once, one echoed key, and one line that scrolls the pane.
#include <benchmark/benchmark.h>

#include <vector>

#include "console/pane_render.h"

namespace {

using namespace gs;

constexpr int COLS = 240, ROWS = 20, SCALE = 2;

struct Pane {
    TextGrid grid{COLS, ROWS};
    PaneRenderer renderer{grid};
    std::vector<std::uint32_t> pixels =
        std::vector<std::uint32_t>(std::size_t(COLS * 16 * ROWS * 32));
    PixelPalette palette{};
    Pane() {
        for (int row = 1; row <= ROWS; ++row)
            grid.write("Select menu point: 1 Play 2 About 3 Quit\r\n");
        draw();
    }
    PixelRect draw() {
        return renderer.render({pixels.data(), COLS * 16 * 4, 0, 0, COLS * 16, ROWS * 32}, palette,
                               {SCALE, 7, 0, true});
    }
};

void BM_PaneWhole(benchmark::State& st) {
    Pane pane;
    for (auto _ : st) {
        pane.renderer.invalidate();
        benchmark::DoNotOptimize(pane.draw());
    }
}
BENCHMARK(BM_PaneWhole)->Unit(benchmark::kMicrosecond);

void BM_PaneEchoOneKey(benchmark::State& st) {
    Pane pane;
    bool seven = false;
    for (auto _ : st) {
        // A different character each time, typed over the last one: one row to draw.
        pane.grid.write((seven = !seven) ? "7\b" : "8\b");
        benchmark::DoNotOptimize(pane.draw());
    }
}
BENCHMARK(BM_PaneEchoOneKey)->Unit(benchmark::kMicrosecond);

void BM_PaneScrollOneLine(benchmark::State& st) {
    Pane pane;
    for (auto _ : st) {
        pane.grid.write("Your gun has 100 hit points\r\n");
        benchmark::DoNotOptimize(pane.draw());
    }
}
BENCHMARK(BM_PaneScrollOneLine)->Unit(benchmark::kMicrosecond);

} // namespace
