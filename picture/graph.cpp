// The drawing surface: an 8-bit picture in memory and the primitives that draw into it.
//
// Every primitive clips against the picture before it touches a pixel, and it only ever
// walks the part of a shape that can be visible, so a shape far outside the window (the
// game's 16-bit arithmetic easily throws one to x = -30000) costs no more than a small one.
#include "picture/graph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "picture/font.h"

namespace gs {

namespace {

using i64 = std::int64_t;

Palette makeVgaPalette() {
    Palette p{};
    // The sixteen colours the game draws with, 6-bit components.
    static const std::uint8_t base[16][3] = {
        {0, 0, 0},    {0, 0, 42},   {0, 42, 0},   {0, 42, 42},  {42, 0, 0},   {42, 0, 42},
        {42, 21, 0},  {42, 42, 42}, {21, 21, 21}, {21, 21, 63}, {21, 63, 21}, {21, 63, 63},
        {63, 21, 21}, {63, 21, 63}, {63, 63, 21}, {63, 63, 63}};
    static const std::uint8_t grey[16] = {0,  5,  8,  11, 14, 17, 20, 24,
                                          28, 32, 36, 40, 45, 50, 56, 63};
    // Nine rings of 24 hues: three brightnesses, each at three saturations (low..high level).
    static const std::uint8_t level[9][5] = {
        {0, 16, 31, 47, 63}, {31, 39, 47, 55, 63}, {45, 49, 54, 58, 63},
        {0, 7, 14, 21, 28},  {14, 17, 21, 24, 28}, {20, 22, 24, 26, 28},
        {0, 4, 8, 12, 16},   {8, 10, 12, 14, 16},  {11, 12, 13, 15, 16}};
    auto set = [&](int i, int r, int g, int b) {
        p[i] = {static_cast<std::uint8_t>(r * 4), static_cast<std::uint8_t>(g * 4),
                static_cast<std::uint8_t>(b * 4)};
    };
    for (int i = 0; i < 16; ++i) set(i, base[i][0], base[i][1], base[i][2]);
    for (int i = 0; i < 16; ++i) set(16 + i, grey[i], grey[i], grey[i]);
    for (int ring = 0; ring < 9; ++ring) {
        const std::uint8_t* L = level[ring];
        int i = 32 + ring * 24;
        // Around the hue circle: blue, magenta, red, yellow, green, cyan, back to blue.
        for (int s = 0; s <= 4; ++s) set(i++, L[s], L[0], L[4]);
        for (int s = 3; s >= 0; --s) set(i++, L[4], L[0], L[s]);
        for (int s = 1; s <= 4; ++s) set(i++, L[4], L[s], L[0]);
        for (int s = 3; s >= 0; --s) set(i++, L[s], L[4], L[0]);
        for (int s = 1; s <= 4; ++s) set(i++, L[0], L[4], L[s]);
        for (int s = 3; s >= 1; --s) set(i++, L[0], L[s], L[4]);
    }
    // 248..255 stay black.
    return p;
}

// The hatched fills 2..12 (8 rows of 8 pixels, leftmost pixel in the high bit). The game
// only fills empty (0) and solid (1); these keep the other codes harmless and visible.
const std::uint8_t kFillPatterns[13][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0},                          // 0 empty
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // 1 solid
    {0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0},              // 2 stripes
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // 3 thin rising
    {0x03, 0x06, 0x0C, 0x18, 0x30, 0x60, 0xC0, 0x81},  // 4 thick rising
    {0xC0, 0x60, 0x30, 0x18, 0x0C, 0x06, 0x03, 0x81},  // 5 thick falling
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // 6 thin falling
    {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},  // 7 grid
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // 8 diagonal cross
    {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},  // 9 checker
    {0x80, 0, 0x08, 0, 0x80, 0, 0x08, 0},              // 10 sparse dots
    {0x88, 0, 0x22, 0, 0x88, 0, 0x22, 0},              // 11 dense dots
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}; // 12 user (solid until set)

// Dash masks for line styles 1..3 (style 4 uses the caller's mask); bit 15 is pixel 0.
const unsigned kLinePatterns[4] = {0xFFFF, 0xAAAA, 0xFE38, 0xF0F0};

i64 floorDiv(i64 a, i64 b) { // b > 0
    i64 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
i64 ceilDiv(i64 a, i64 b) { return -floorDiv(-a, b); }

int roundHalfUp(double v) { return static_cast<int>(std::floor(v + 0.5)); }

} // namespace

const Palette& vgaPalette() {
    static const Palette p = makeVgaPalette();
    return p;
}

const char* Graph::notInGraphicsMode() {
    return "Error: Not in graphics mode (use InitGraph and test GraphResult afterwards)";
}

Graph::~Graph() { window_.reset(); }

// ---- Opening and closing ----

void Graph::InitGraph(i16& driver, i16& mode, const std::string& path) {
    (void)driver;
    (void)mode;
    (void)path;
    window_.reset(); // a second InitGraph replaces the window
    failed_ = false;
    open_ = false;
    int w = cfg_.width, h = cfg_.height;
    if (!cfg_.headless && windowFactory_) {
        std::string error;
        window_ = windowFactory_(*this, cfg_, error);
        if (!window_) {
            failed_ = true;
            std::fprintf(stderr, "%s\n", error.empty() ? "Window creation failed" : error.c_str());
            std::fprintf(stderr, "No graphics window can be opened here; run with --headless "
                                 "to play with the picture kept in memory.\n");
            std::fflush(stderr);
            return;
        }
        auto [cw, ch] = window_->clientSize();
        if (cw > 0 && ch > 0) w = cw, h = ch;
    }
    // GetMaxX and GetMaxY are 16-bit: a picture larger than that could not be addressed.
    w = std::clamp(w, 1, 32767);
    h = std::clamp(h, 1, 32767);
    {
        std::lock_guard<std::mutex> g(lock_);
        w_ = w;
        h_ = h;
        px_.assignZeroed(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        changed_ = PixelRect{0, 0, w, h};
        open_ = true;
    }
    color_ = 15;
    fillPattern_ = 1;
    fillColor_ = 255;
    bkColor_ = 0;
    lineStyle_ = 0;
    linePattern_ = 0xFFFF;
    thickness_ = 1;
    curX_ = curY_ = 0;
    drawn();
}

void Graph::CloseGraph() {
    if (open_) snapshotDue();
    window_.reset(); // returns once the window and its thread are gone
    open_ = false;
    failed_ = false;
}

void Graph::snapshotDue() {
    if (snapshotWriter_ && open_) snapshotWriter_(*this);
}

void Graph::checkGraphics() {
    if (!failed_) return;
    const std::string msg = notInGraphicsMode();
    if (fatal_) {
        fatal_(msg);
    } else {
        std::fprintf(stdout, "%s\n", msg.c_str());
        std::fflush(stdout);
    }
    std::exit(1);
}

void Graph::drawn() {
    if (window_) window_->changed();
}

void Graph::touch(int left, int top, int right, int bottom) {
    changed_.add(PixelRect::corners(left, top, right, bottom).clippedTo(PixelRect{0, 0, w_, h_}));
}

void Graph::touchLine(int x1, int y1, int x2, int y2) {
    const int side = thickness_ == 3 ? 1 : 0; // a thick line is three lines side by side
    touch(std::min(x1, x2) - side, std::min(y1, y2) - side, std::max(x1, x2) + side,
          std::max(y1, y2) + side);
}

PixelRect Graph::takeChanged() {
    const PixelRect r = changed_;
    changed_ = PixelRect{};
    return r;
}

// ---- Drawing state ----

i16 Graph::GetMaxX() const {
    const_cast<Graph*>(this)->checkGraphics();
    return static_cast<i16>(w_ - 1);
}

i16 Graph::GetMaxY() const {
    const_cast<Graph*>(this)->checkGraphics();
    return static_cast<i16>(h_ - 1);
}

void Graph::SetColor(int color) {
    checkGraphics();
    // Colours are palette indices; the surface keeps the low byte as the index.
    color_ = color & 0xFF;
}

void Graph::SetFillStyle(int pattern, int color) {
    checkGraphics();
    if (pattern < 0 || pattern > 12 || color < 0 || color > 255) return;
    fillPattern_ = pattern;
    fillColor_ = color;
}

void Graph::SetLineStyle(int style, unsigned pattern, int thickness) {
    checkGraphics();
    if (style < 0 || style > 4 || (thickness != 1 && thickness != 3)) return;
    lineStyle_ = style;
    linePattern_ = style == 4 ? (pattern & 0xFFFF) : kLinePatterns[style];
    thickness_ = thickness;
}

std::uint8_t Graph::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || px_.size() == 0) return 0;
    return px_.data()[static_cast<std::size_t>(y) * w_ + x];
}

// ---- Pixel writers (the lock is held by the caller) ----

void Graph::plot(int x, int y, std::uint8_t colour) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    px_.data()[static_cast<std::size_t>(y) * w_ + x] = colour;
}

void Graph::hspan(int x1, int x2, int y, std::uint8_t colour) {
    if (y < 0 || y >= h_) return;
    if (x1 > x2) std::swap(x1, x2);
    x1 = std::max(x1, 0);
    x2 = std::min(x2, w_ - 1);
    if (x1 > x2) return;
    std::memset(px_.data() + static_cast<std::size_t>(y) * w_ + x1, colour,
                static_cast<std::size_t>(x2 - x1 + 1));
}

void Graph::fillSpan(int x1, int x2, int y) {
    if (y < 0 || y >= h_) return;
    if (x1 > x2) std::swap(x1, x2);
    x1 = std::max(x1, 0);
    x2 = std::min(x2, w_ - 1);
    if (x1 > x2) return;
    const auto fill = static_cast<std::uint8_t>(fillColor_);
    const auto background = static_cast<std::uint8_t>(bkColor_);
    if (fillPattern_ == 1) return hspan(x1, x2, y, fill);
    if (fillPattern_ == 0) return hspan(x1, x2, y, background);
    // Patterns are anchored to the window, so neighbouring bars line up.
    const std::uint8_t bits = kFillPatterns[fillPattern_][y & 7];
    std::uint8_t* row = px_.data() + static_cast<std::size_t>(y) * w_;
    for (int x = x1; x <= x2; ++x) row[x] = (bits & (0x80 >> (x & 7))) ? fill : background;
}

// One 1-pixel line, both end points included. Steps along the longer axis; the other
// coordinate at step t is the start plus t*minor/major rounded half up, the start being
// the end with the smaller major coordinate. The visible steps
// are found by solving the window's bounds for t, so only visible pixels are visited.
void Graph::lineThin(int x1, int y1, int x2, int y2) {
    // Always walk the longer axis upwards, so that a line and the same line drawn from its
    // other end set the same pixels.
    if (std::abs(i64{x2} - x1) >= std::abs(i64{y2} - y1) ? x2 < x1 : y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const i64 dx = i64{x2} - x1, dy = i64{y2} - y1;
    const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const i64 a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
    const i64 sa = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const i64 sb = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const i64 n = xMajor ? adx : ady, m = xMajor ? ady : adx;
    const i64 aMax = (xMajor ? w_ : h_) - 1, bMax = (xMajor ? h_ : w_) - 1;

    i64 tLo = 0, tHi = n;
    if (sa > 0)
        tLo = std::max(tLo, -a1), tHi = std::min(tHi, aMax - a1);
    else
        tLo = std::max(tLo, a1 - aMax), tHi = std::min(tHi, a1);
    i64 kLo = 0, kHi = m;
    if (sb > 0)
        kLo = std::max(kLo, -b1), kHi = std::min(kHi, bMax - b1);
    else
        kLo = std::max(kLo, b1 - bMax), kHi = std::min(kHi, b1);
    if (kLo > kHi) return;
    if (m > 0) {
        tLo = std::max(tLo, ceilDiv(2 * n * kLo - n, 2 * m));
        tHi = std::min(tHi, floorDiv(2 * n * (kHi + 1) - n - 1, 2 * m));
    }
    if (tLo > tHi) return;

    const auto colour = static_cast<std::uint8_t>(color_);
    const bool dashed = linePattern_ != 0xFFFF;
    const i64 den = 2 * n;
    i64 k = 0, rem = 0;
    if (n > 0) {
        const i64 num = 2 * tLo * m + n;
        k = num / den;
        rem = num % den;
    }
    for (i64 t = tLo; t <= tHi; ++t) {
        if (!dashed || (linePattern_ & (0x8000u >> (t & 15)))) {
            const i64 a = a1 + sa * t, b = b1 + sb * k;
            const int x = static_cast<int>(xMajor ? a : b), y = static_cast<int>(xMajor ? b : a);
            px_.data()[static_cast<std::size_t>(y) * w_ + x] = colour;
        }
        rem += 2 * m;
        if (rem >= den) rem -= den, ++k;
    }
}

void Graph::lineRaw(int x1, int y1, int x2, int y2) {
    if (thickness_ != 3) return lineThin(x1, y1, x2, y2);
    // Thick lines are three parallel lines across the longer axis.
    const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
    for (int offset = -1; offset <= 1; ++offset) {
        if (xMajor)
            lineThin(x1, y1 + offset, x2, y2 + offset);
        else
            lineThin(x1 + offset, y1, x2 + offset, y2);
    }
}

// The ellipse row by row. On row offset dy the outline covers the x offsets where the curve
// x = rx*cos a, y = ry*sin a passes through the row's band [dy - 1/2, dy + 1/2]: from
// xin(dy) to xout(dy). Since xin(dy) == xout(dy + 1) the outline is closed, and because the
// same formula serves all four quadrants it is symmetric. Only visible rows are visited.
void Graph::ellipseRaw(int x, int y, int rx, int ry, bool fill) {
    const int top = std::max(0, y - ry), bottom = std::min(h_ - 1, y + ry);
    if (top > bottom) return;
    if (x + rx < 0 || x - rx >= w_) return;
    const auto colour = static_cast<std::uint8_t>(color_);
    auto extent = [&](double band) { // x offset of the curve at height `band`
        if (band <= 0) return rx;
        if (band >= ry) return 0;
        const double fraction = band / ry;
        return roundHalfUp(rx * std::sqrt(1.0 - fraction * fraction));
    };
    for (int row = top; row <= bottom; ++row) {
        const int dy = std::abs(row - y);
        const int xout = extent(dy - 0.5);
        const int xin = dy >= ry ? 0 : extent(dy + 0.5);
        if (fill && xin >= 1) fillSpan(x - xin + 1, x + xin - 1, row);
        hspan(x - xout, x - xin, row, colour);
        hspan(x + xin, x + xout, row, colour);
    }
}

// ---- Primitives ----

void Graph::Line(i16 x1, i16 y1, i16 x2, i16 y2) {
    checkGraphics();
    if (!open_) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        lineRaw(x1, y1, x2, y2);
        touchLine(x1, y1, x2, y2);
    }
    drawn();
}

void Graph::Rectangle(i16 x1, i16 y1, i16 x2, i16 y2) {
    checkGraphics();
    if (!open_) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        // Four lines, each leaving out the corner the next one draws.
        auto side = [this](int ax, int ay, int bx, int by) {
            lineRaw(ax, ay, bx, by);
            touchLine(ax, ay, bx, by);
        };
        side(x1, y1, x2 - 1, y1);
        side(x1, y1 + 1, x1, y2);
        side(x2, y1, x2, y2 - 1);
        side(x1 + 1, y2, x2, y2);
    }
    drawn();
}

void Graph::Bar(i16 x1, i16 y1, i16 x2, i16 y2) {
    checkGraphics();
    if (!open_) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        const int top = std::max(0, int{std::min(y1, y2)});
        const int bottom = std::min(h_ - 1, int{std::max(y1, y2)});
        for (int row = top; row <= bottom; ++row) fillSpan(x1, x2, row);
        touch(std::min(x1, x2), top, std::max(x1, x2), bottom);
    }
    drawn();
}

void Graph::Circle(i16 x, i16 y, i16 radius) {
    checkGraphics();
    if (!open_) return;
    const int absRadius = std::abs(int{radius});
    if (absRadius == 0) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (absRadius == 1)
            plot(x, y, static_cast<std::uint8_t>(color_));
        else
            ellipseRaw(x, y, absRadius, absRadius, false);
        const int reach = absRadius == 1 ? 0 : absRadius;
        touch(x - reach, y - reach, x + reach, y + reach);
    }
    drawn();
}

void Graph::FillEllipse(i16 x, i16 y, i16 rx, i16 ry) {
    checkGraphics();
    if (!open_) return;
    const int ax = std::abs(int{rx}), ay = std::abs(int{ry});
    {
        std::lock_guard<std::mutex> hold(lock_);
        const bool dot = ax <= 1 && ay <= 1;
        if (dot)
            plot(x, y, static_cast<std::uint8_t>(color_));
        else
            ellipseRaw(x, y, ax, ay, true);
        touch(dot ? x : x - ax, dot ? y : y - ay, dot ? x : x + ax, dot ? y : y + ay);
    }
    drawn();
}

void Graph::OutTextXY(i16 x, i16 y, const std::string& text) {
    checkGraphics();
    if (!open_) return;
    // A text that starts outside the window is left out entirely.
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        const auto colour = static_cast<std::uint8_t>(color_);
        const int rows = std::min(8, h_ - y);
        for (std::size_t at = 0; at < text.size(); ++at) {
            const i64 cellX = x + 8 * static_cast<i64>(at);
            if (cellX >= w_) break;
            const std::uint8_t* glyph = font8x8(static_cast<unsigned char>(text[at]));
            for (int glyphRow = 0; glyphRow < rows; ++glyphRow) {
                const std::uint8_t bits = glyph[glyphRow];
                if (!bits) continue;
                std::uint8_t* line = px_.data() + static_cast<std::size_t>(y + glyphRow) * w_;
                for (int bit = 0; bit < 8; ++bit)
                    if ((bits & (0x80 >> bit)) && cellX + bit < w_) line[cellX + bit] = colour;
            }
        }
        const i64 end = x + 8 * static_cast<i64>(text.size()) - 1;
        touch(x, y, static_cast<int>(std::min<i64>(end, w_ - 1)), y + 7);
    }
    drawn();
}

void Graph::ClearDevice() {
    checkGraphics();
    if (!open_) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        std::memset(px_.data(), bkColor_, px_.size());
        touch(0, 0, w_ - 1, h_ - 1);
        curX_ = curY_ = 0;
    }
    drawn();
}

} // namespace gs
