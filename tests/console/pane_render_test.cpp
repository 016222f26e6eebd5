// The pane's drawing: the game's font with doubled rows at any whole scale, characters
// beyond code page 437, the steady cursor, and drawing only what changed.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "console/pane_render.h"
#include "picture/font.h"

namespace gs {
namespace {

constexpr std::uint32_t SENTINEL = 0xDEADBEEF;

/// Each palette index draws as its own value, so a pixel tells which colour it got.
PixelPalette indexPalette() {
    PixelPalette p{};
    for (std::uint32_t i = 0; i < 256; ++i) p[i] = 0xFF000000u | i;
    return p;
}

/// A buffer whose rows are longer than the pane, to catch a wrong pitch.
struct Canvas {
    int width, height, stride;
    std::vector<std::uint32_t> px;
    Canvas(int w, int h)
        : width(w), height(h), stride(w + 3), px(std::size_t(stride * h), SENTINEL) {}
    PixelTarget target(int x, int y, int w, int h) { return {px.data(), stride * 4, x, y, w, h}; }
    std::uint32_t at(int x, int y) const { return px[std::size_t(y * stride + x)]; }
};

/// What the pixel (x, y) of a cell shows at scale k: glyph row y / 2k, bit x / k.
bool inked(const std::uint8_t* glyph, int x, int y, int k) {
    return glyph[y / (2 * k)] & (0x80 >> (x / k));
}

TEST(PaneRender, TheGamesFontScaledAndCharactersBeyondCodePage437) {
    const std::uint8_t be[8] = {0xFC, 0xC0, 0xC0, 0xFC, 0xC6, 0xC6, 0xFC, 0x00}; // Б of the font
    EXPECT_EQ(std::memcmp(glyphFor(U'Б'), be, 8), 0);
    EXPECT_EQ(glyphFor(U'é'), font8x8(0x82)); // code page 437 where it has the character
    EXPECT_EQ(cp437Byte(U'☺'), 1);
    EXPECT_EQ(cp437Byte(U'Ж'), std::nullopt);
    EXPECT_EQ(glyphFor(U'\u4E00'), replacementGlyph());
    EXPECT_NE(std::memcmp(glyphFor(0xFFFD), font8x8(4), 8), 0); // not the diamond

    TextGrid grid(4, 2);
    grid.write("AБ\xE4\xB8\x80"); // the last one has no glyph; the cursor is in cell 4
    for (int k : {1, 2, 3}) {
        Canvas canvas(40 * k, 40 * k);
        PaneRenderer pane(grid);
        const PaneLook look{k, 14, 1, true};
        EXPECT_EQ(pane.render(canvas.target(0, 0, 40 * k, 40 * k), indexPalette(), look),
                  (PixelRect{0, 0, 40 * k, 40 * k}));
        const std::uint8_t* glyphs[] = {font8x8('A'), be, replacementGlyph(), font8x8(' ')};
        for (int cell = 0; cell < 4; ++cell)
            for (int y = 0; y < 16 * k; ++y)
                for (int x = 0; x < 8 * k; ++x) {
                    const bool cursor = cell == 3 && y >= 14 * k; // the bottom glyph row
                    const bool ink = cursor || inked(glyphs[cell], x, y, k);
                    ASSERT_EQ(canvas.at(cell * 8 * k + x, y), 0xFF000000u | (ink ? 14 : 1))
                        << "cell " << cell << " at " << x << "," << y << " scale " << k;
                }
        EXPECT_EQ(canvas.at(39 * k, 39 * k), 0xFF000001u); // the rest is background
        EXPECT_EQ(canvas.at(40 * k, 0), SENTINEL);         // nothing outside the pane
    }
    const PixelPalette rgba = pixelPalette([](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return std::uint32_t(r) << 24 | std::uint32_t(g) << 16 | std::uint32_t(b) << 8 | 0xFF;
    });
    EXPECT_EQ(rgba[colour::Yellow], 0xFCFC54FFu);
    EXPECT_EQ(PaneRenderer::fitScale(80, 20, 1920, 700), 2);
    EXPECT_EQ(PaneRenderer::fitScale(80, 20, 600, 200), 1);
}

TEST(PaneRender, OnlyTheChangedRowsAndTheCursorsOldAndNewCellsAreDrawn) {
    TextGrid grid(4, 3);
    grid.write("ab\r\ncd"); // the cursor is in cell (3, 2)
    Canvas canvas(32, 48);
    PaneRenderer pane(grid);
    pane.render(canvas.target(0, 0, 32, 48), indexPalette(), {});
    std::fill(canvas.px.begin(), canvas.px.end(), SENTINEL);
    grid.moveCursor(1, 3);
    grid.write("Z");
    EXPECT_EQ(pane.render(canvas.target(0, 0, 32, 48), indexPalette(), {}),
              (PixelRect{0, 16, 32, 32}));
    auto drawn = [&](int col, int row) {
        return canvas.at(col * 8 + 7, row * 16 + 15) != SENTINEL;
    };
    for (int col = 0; col < 4; ++col) {
        EXPECT_FALSE(drawn(col, 0));
        EXPECT_EQ(drawn(col, 1), col == 2) << col; // only the cell the cursor left
        EXPECT_TRUE(drawn(col, 2));
    }
    EXPECT_EQ(canvas.at(15, 47), 0xFF000007u); // the cursor's underline in (2, 3)
    EXPECT_TRUE(pane.render(canvas.target(0, 0, 32, 48), indexPalette(), {}).empty());
    EXPECT_EQ(canvas.at(0, 0), SENTINEL);
}

TEST(PaneRender, DrawingStepByStepGivesThePictureOfDrawingAfresh) {
    // Writes, scrolling, cursor moves and clears, drawn after each step; the target is
    // smaller than the grid, exactly its size, or larger, at an offset in the buffer.
    const std::string steps[] = {"x", "\r\n", "Жy", "\r\nab\r\n", "@", "\b", "k\r\n\r\n\r\n"};
    for (int k : {1, 2})
        for (auto [w, h] : {std::pair{30, 50}, std::pair{48, 64}, std::pair{60, 70}}) {
            TextGrid grid(6, 4);
            Canvas steady(70 * k, 80 * k);
            PaneRenderer pane(grid);
            const PixelTarget target = steady.target(5, 3, w * k, h * k);
            const PaneLook look{k, 15, 4, true};
            unsigned seed = 7;
            for (int n = 0; n < 120; ++n) {
                seed = seed * 1103515245u + 12345u;
                const unsigned pick = (seed >> 16) % 20;
                if (pick < 14)
                    grid.write(steps[pick % 7]);
                else if (pick < 19)
                    grid.moveCursor(int(seed >> 8) % 6 + 1, int(seed >> 4) % 4 + 1);
                else
                    grid.clear();
                pane.render(target, indexPalette(), look);
                Canvas fresh(70 * k, 80 * k);
                PaneRenderer(grid).render(fresh.target(5, 3, w * k, h * k), indexPalette(), look);
                ASSERT_EQ(steady.px, fresh.px) << "step " << n << " scale " << k << " " << w;
            }
        }
}

} // namespace
} // namespace gs
