#include "console/pane_render.h"

#include <algorithm>
#include <cstring>

#include "picture/font.h"

namespace gs {

int PaneRenderer::fitScale(int cols, int rows, int width, int height) {
    if (cols < 1 || rows < 1) return 1;
    return std::max(1, std::min(width / cellWidth(1) / cols, height / cellHeight(1) / rows));
}

std::uint32_t* PaneRenderer::rowAt(int y) const {
    auto* bytes = reinterpret_cast<std::uint8_t*>(target_.pixels) +
                  static_cast<std::ptrdiff_t>(y) * target_.pitch;
    return reinterpret_cast<std::uint32_t*>(bytes) + target_.x;
}

void PaneRenderer::fill(int x, int y, int width, int height, std::uint32_t value) {
    for (int line = y; line < y + height; ++line) {
        std::uint32_t* row = rowAt(target_.y + line) + x;
        std::fill(row, row + width, value);
    }
}

void PaneRenderer::drawCell(int col, int row, bool cursor) {
    const int left = (col - 1) * cellW_, top = (row - 1) * cellH_;
    if (left >= areaW_ || top >= areaH_) return;
    const int width = std::min(cellW_, areaW_ - left);
    const int height = std::min(cellH_, areaH_ - top);
    const std::uint8_t* glyph = glyphFor(view_.at(col, row));
    const int scale = look_.scale, rowHeight = cellH_ / 8;
    std::uint32_t line[8 * 64];
    for (int glyphRow = 0; glyphRow < 8 && glyphRow * rowHeight < height; ++glyphRow) {
        // The cursor is the cell's bottom glyph row, solid.
        const unsigned bits = cursor && glyphRow == 7 ? 0xFFu : glyph[glyphRow];
        for (int bit = 0; bit < 8; ++bit) {
            const std::uint32_t value = (bits & (0x80u >> bit)) ? ink_ : paper_;
            std::fill(line + bit * scale, line + (bit + 1) * scale, value);
        }
        const int first = top + glyphRow * rowHeight;
        const int last = std::min(first + rowHeight, top + height);
        for (int y = first; y < last; ++y)
            std::memcpy(rowAt(target_.y + y) + left, line,
                        static_cast<std::size_t>(width) * sizeof line[0]);
    }
}

PixelRect PaneRenderer::render(const PixelTarget& target, const PixelPalette& palette,
                               const PaneLook& look) {
    PaneLook wanted = look;
    wanted.scale = std::clamp(look.scale, 1, 64);
    const std::uint32_t ink = palette[static_cast<std::size_t>(wanted.text & 0xFF)];
    const std::uint32_t paper = palette[static_cast<std::size_t>(wanted.background & 0xFF)];
    const bool whole =
        !valid_ || !(target == target_) || !(wanted == look_) || ink != ink_ || paper != paper_;
    const bool news = grid_.update(view_);
    if (!whole && !news) return {};
    if (target.pixels == nullptr || target.width <= 0 || target.height <= 0) return {};

    target_ = target;
    look_ = wanted;
    ink_ = ink;
    paper_ = paper;
    cellW_ = cellWidth(look_.scale);
    cellH_ = cellHeight(look_.scale);
    areaW_ = std::min(target.width, view_.cols * cellW_);
    areaH_ = std::min(target.height, view_.rows * cellH_);
    const GridPos cursor = view_.cursor;
    const bool showCursor = look_.showCursor;

    if (whole) {
        valid_ = true;
        fill(0, 0, target.width, target.height, paper_);
        for (int row = 1; row <= view_.rows; ++row)
            for (int col = 1; col <= view_.cols; ++col)
                drawCell(col, row, showCursor && cursor == GridPos{col, row});
        cursorDrawn_ = cursor;
        cursorShown_ = showCursor;
        return {target.x, target.y, target.width, target.height};
    }

    std::vector<bool> redraw = view_.changed;
    int top = view_.rows + 1, bottom = 0; // the rows written, 1-based
    auto mark = [&](int row) {
        top = std::min(top, row);
        bottom = std::max(bottom, row);
    };
    GridPos oldCursor = cursorDrawn_;
    if (view_.scrolled > 0) {
        // The rows that stayed move up as pixels; a row whose pixels were cut off at the
        // bottom edge has none to move and is drawn.
        const int shift = view_.scrolled * cellH_;
        for (int y = 0; y + shift < areaH_; ++y)
            std::memmove(rowAt(target_.y + y), rowAt(target_.y + y + shift),
                         static_cast<std::size_t>(areaW_) * sizeof(std::uint32_t));
        for (int row = 1; row <= view_.rows; ++row)
            if ((row + view_.scrolled) * cellH_ > areaH_)
                redraw[static_cast<std::size_t>(row - 1)] = true;
        mark(1);
        mark(view_.rows);
        oldCursor.row -= view_.scrolled;
    }
    for (int row = 1; row <= view_.rows; ++row) {
        if (!redraw[static_cast<std::size_t>(row - 1)]) continue;
        for (int col = 1; col <= view_.cols; ++col) drawCell(col, row, false);
        mark(row);
    }
    // The cursor's old cell loses its underline unless it was drawn anew above.
    if (cursorShown_ && oldCursor.row >= 1 && !(oldCursor == cursor) &&
        !redraw[static_cast<std::size_t>(oldCursor.row - 1)]) {
        drawCell(oldCursor.col, oldCursor.row, false);
        mark(oldCursor.row);
    }
    // The new one gets it, unless its pixels (moved up with the rows) still have it.
    if (showCursor && (!cursorShown_ || !(oldCursor == cursor) ||
                       redraw[static_cast<std::size_t>(cursor.row - 1)])) {
        drawCell(cursor.col, cursor.row, true);
        mark(cursor.row);
    }
    cursorDrawn_ = cursor;
    cursorShown_ = showCursor;
    if (bottom < top) return {};
    const int firstY = (top - 1) * cellH_;
    const int lastY = std::min(bottom * cellH_, areaH_);
    if (lastY <= firstY) return {};
    return {target.x, target.y + firstY, areaW_, lastY - firstY};
}

} // namespace gs
