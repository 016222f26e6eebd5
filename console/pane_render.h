// Draws the console's TextGrid into 32-bit pixels with the game's own 8x8 font, each glyph
// row doubled (and the whole cell scaled by a whole factor): only what changed since the
// last drawing, and a steady cursor, so that a waiting game costs nothing to show.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "console/text_grid.h"
#include "picture/graph.h"
#include "picture/picture_view.h"

namespace gs {

/// How the pane looks.
struct PaneLook {
    int scale = 1; ///< cells are 8 * scale pixels wide and 16 * scale high
    int text = colour::LightGrey, background = colour::Black; ///< palette indices
    bool showCursor = true; ///< an underline under the cursor's cell, in the text colour
    bool operator==(const PaneLook&) const = default;
};

/// The console's size wherever it is a pane drawn by the game (the one window, the web
/// page): a terminal's 80 columns, and rows enough for every question and its answers.
constexpr int PANE_COLS = 80, PANE_ROWS = 20;

/// Draws one grid; used from one thread (the window's).
class PaneRenderer {
public:
    explicit PaneRenderer(const TextGrid& grid) : grid_(grid) {}

    static int cellWidth(int scale) { return 8 * scale; }
    static int cellHeight(int scale) { return 16 * scale; }
    /// The largest scale (at least 1) at which cols x rows cells fit width x height pixels.
    static int fitScale(int cols, int rows, int width, int height);

    /// Brings the target up to date with the grid. The grid's cells start at the target's
    /// top-left corner and are cut off at its edges; the rest of the target is background.
    /// The first call, and any call after invalidate() or with another target, look or
    /// pixel value of the two colours, draws everything; the others draw only the rows
    /// that changed and the cursor's old and new cells, moving the pixels of scrolled rows
    /// instead of drawing them again (so the target must keep what was drawn into it).
    /// Returns the pixels written (empty when nothing changed).
    PixelRect render(const PixelTarget& target, const PixelPalette& palette, const PaneLook& look);
    /// The next render draws everything (the target lost its pixels).
    void invalidate() { valid_ = false; }

private:
    std::uint32_t* rowAt(int y) const;
    /// Draws cell (col, row), 1-based, cut off at the grid area's edges.
    void drawCell(int col, int row, bool cursor);
    void fill(int x, int y, int width, int height, std::uint32_t value);

    const TextGrid& grid_;
    GridView view_;
    bool valid_ = false;
    PixelTarget target_;
    PaneLook look_;
    std::uint32_t ink_ = 0, paper_ = 0;
    int cellW_ = 8, cellH_ = 16;
    int areaW_ = 0, areaH_ = 0; ///< the part of the target the cells cover
    GridPos cursorDrawn_;
    bool cursorShown_ = false;
};

} // namespace gs
