// What the drawing surface costs at the sizes the game draws.
#include <benchmark/benchmark.h>

#include <cmath>

#include "picture/graph.h"

namespace {

using gs::Graph;
using gs::i16;

Graph& picture(int w = 1920, int h = 1080) {
    static Graph* g = nullptr;
    if (!g || g->width() != w || g->height() != h) {
        delete g;
        g = new Graph(Graph::Config{true, w, h, true});
        i16 d = 0, m = 30000;
        g->InitGraph(d, m, "");
    }
    return *g;
}

void BM_Circle(benchmark::State& st) {
    Graph& g = picture();
    const auto r = static_cast<i16>(st.range(0));
    int i = 0;
    for (auto _ : st) g.Circle(static_cast<i16>(100 + (i++ & 511)), 495, r);
}
BENCHMARK(BM_Circle)->Arg(3)->Arg(5);

void BM_FillEllipse(benchmark::State& st) {
    Graph& g = picture();
    g.SetColor(15);
    g.SetFillStyle(1, 14);
    const auto rx = static_cast<i16>(st.range(0)), ry = static_cast<i16>(st.range(1));
    int i = 0;
    for (auto _ : st) g.FillEllipse(static_cast<i16>(200 + (i++ & 511)), 400, rx, ry);
}
BENCHMARK(BM_FillEllipse)->Args({5, 5})->Args({25, 25})->Args({101, 50});

// The whole mushroom cloud without its pauses: 100 frames of cap erase, 40 stem discs of
// radius 5 and a growing cap, ending at radii (101, 50).
void BM_MushroomCloud(benchmark::State& st) {
    Graph& g = picture();
    for (auto _ : st) {
        int r1 = 10, r2 = 20, x3 = 960, y3 = 500;
        for (int k = 1; k <= 100; ++k) {
            if (k > 1) {
                g.SetColor(0);
                g.SetFillStyle(1, 0);
                g.FillEllipse(static_cast<i16>(x3), static_cast<i16>(y3 - r1 - 15),
                              static_cast<i16>(r2), static_cast<i16>(r1));
            }
            g.SetColor(7);
            g.SetFillStyle(1, 7);
            r1 += static_cast<int>(std::nearbyint(k / 120.0));
            r2 += static_cast<int>(std::nearbyint(k / 60.0));
            y3 = 500 - k;
            const int span = static_cast<int>(std::nearbyint(200.0 / k));
            for (int j = 0; j < 40; ++j) {
                x3 = 960 + (j * 7919) % span - static_cast<int>(std::nearbyint(100.0 / k));
                g.FillEllipse(static_cast<i16>(x3), static_cast<i16>(y3), 5, 5);
            }
            g.SetColor(15);
            g.SetFillStyle(1, 14);
            g.FillEllipse(static_cast<i16>(x3), static_cast<i16>(y3 - r1 - 15),
                          static_cast<i16>(r2), static_cast<i16>(r1));
        }
    }
}
BENCHMARK(BM_MushroomCloud)->Unit(benchmark::kMillisecond);

void BM_Line(benchmark::State& st) {
    Graph& g = picture();
    int i = 0;
    for (auto _ : st) g.Line(static_cast<i16>(i++ & 255), 490, 1800, 200);
}
BENCHMARK(BM_Line);

// A line whose ends lie tens of thousands of pixels outside costs no more than one inside.
void BM_LineFarOutside(benchmark::State& st) {
    Graph& g = picture();
    for (auto _ : st) g.Line(-32768, -30000, 32767, 31000);
}
BENCHMARK(BM_LineFarOutside);

void BM_OutTextXY(benchmark::State& st) {
    Graph& g = picture();
    for (auto _ : st) g.OutTextXY(10, 1040, "f - 12");
}
BENCHMARK(BM_OutTextXY);

void BM_ClearDevice(benchmark::State& st) {
    Graph& g = picture(1920, 1080);
    for (auto _ : st) g.ClearDevice();
}
BENCHMARK(BM_ClearDevice)->Unit(benchmark::kMicrosecond);

} // namespace
