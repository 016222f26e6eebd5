// The drawing primitives with arbitrary coordinates, sizes, colours and styles.
//
// Every call is made on two pictures: a small one and one that is larger on the right and
// at the bottom. The primitives draw in window pixels, so the small picture must be exactly
// the top-left corner of the large one: a pixel that wrapped to another row, landed in the
// wrong place, or leaked past an edge shows up as a difference. A write past the end of
// the picture itself is caught by the address sanitizer.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "picture/graph.h"

namespace {

using gs::Graph;
using gs::i16;

constexpr int EXTRA_W = 37, EXTRA_H = 29;
constexpr int MAX_CALLS = 64;

[[noreturn]] void fail(const char* what, int x, int y, int a, int b) {
    std::fprintf(stderr, "drawing fault: %s at (%d, %d): small %d, large %d\n", what, x, y, a, b);
    std::abort();
}

/// A coordinate: mostly near the picture, now and then anywhere in 16 bits.
i16 coord(FuzzedDataProvider& d) {
    if (d.ConsumeBool()) return d.ConsumeIntegral<i16>();
    return static_cast<i16>(d.ConsumeIntegralInRange<int>(-300, 600));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider d(data, size);
    const int w = d.ConsumeIntegralInRange<int>(1, 200);
    const int h = d.ConsumeIntegralInRange<int>(1, 200);
    auto fatal = [](const std::string& m) {
        std::fprintf(stderr, "unexpected fatal drawing error: %s\n", m.c_str());
        std::abort();
    };
    Graph small(Graph::Config{true, w, h, true});
    Graph large(Graph::Config{true, w + EXTRA_W, h + EXTRA_H, true});
    small.setFatalHandler(fatal);
    large.setFatalHandler(fatal);
    i16 gd = 0, gm = 30000;
    small.InitGraph(gd, gm, "");
    gd = 0, gm = 30000;
    large.InitGraph(gd, gm, "");
    if (small.width() != w || small.height() != h) std::abort();

    for (int n = 0; n < MAX_CALLS && d.remaining_bytes() > 0; ++n) {
        const int op = d.ConsumeIntegralInRange<int>(0, 9);
        const i16 a = coord(d), b = coord(d), c = coord(d), e = coord(d);
        for (Graph* g : {&small, &large}) {
            switch (op) {
            case 0: g->Line(a, b, c, e); break;
            case 1: g->Rectangle(a, b, c, e); break;
            case 2: g->Bar(a, b, c, e); break;
            case 3: g->Circle(a, b, c); break;
            case 4: g->FillEllipse(a, b, c, e); break;
            case 5: g->SetColor(a & 0x1FF); break;
            case 6: g->SetFillStyle(a % 16, b & 0x1FF); break;
            case 7: g->SetLineStyle(a % 6, static_cast<unsigned>(b) & 0xFFFF, c % 5); break;
            case 8: g->ClearDevice(); break;
            default: break;
            }
        }
        if (op == 9) {
            std::string text = d.ConsumeRandomLengthString(40);
            small.OutTextXY(a, b, text);
            large.OutTextXY(a, b, text);
        }
        if (small.color() != large.color() || small.fillPattern() != large.fillPattern() ||
            small.fillColor() != large.fillColor() ||
            small.lineThickness() != large.lineThickness() ||
            small.lineStyle() != large.lineStyle())
            fail("drawing state differs", 0, 0, small.color(), large.color());
        if (small.lineThickness() != 1 && small.lineThickness() != 3)
            fail("line thickness", 0, 0, small.lineThickness(), 0);
    }

    const auto& sp = small.pixels();
    if (sp.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) std::abort();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int s = sp[static_cast<std::size_t>(y) * w + x];
            const int l = large.pixel(x, y);
            if (s != l) fail("pixel differs", x, y, s, l);
            if (small.pixel(x, y) != s) fail("pixel() disagrees with pixels()", x, y, s, l);
        }
    // Outside the picture nothing is ever reported as drawn.
    if (small.pixel(-1, 0) != 0 || small.pixel(w, 0) != 0 || small.pixel(0, h) != 0 ||
        small.pixel(0, -1) != 0)
        fail("pixel outside the picture", w, h, 0, 0);
    small.CloseGraph();
    large.CloseGraph();
    return 0;
}
