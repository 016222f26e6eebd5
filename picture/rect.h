// The one rectangle of the picture and of every screen that shows it: a corner and a size.
#pragma once

#include <algorithm>

namespace gs {

/// A rectangle of pixels: its top-left corner and its size. Every empty rectangle is the
/// default one, so that two empty rectangles compare equal.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;

    /// The rectangle from (`left`, `top`) to (`right`, `bottom`), both corners included;
    /// empty when right < left or bottom < top.
    static constexpr PixelRect corners(int left, int top, int right, int bottom) {
        if (right < left || bottom < top) return {};
        return {left, top, right - left + 1, bottom - top + 1};
    }
    constexpr bool empty() const { return width <= 0 || height <= 0; }
    /// The last column and row inside (x - 1 and y - 1 for an empty rectangle).
    constexpr int right() const { return x + width - 1; }
    constexpr int bottom() const { return y + height - 1; }

    /// The part of this rectangle that lies inside `bounds`; empty when they do not meet.
    constexpr PixelRect clippedTo(const PixelRect& bounds) const {
        if (empty() || bounds.empty()) return {};
        return corners(std::max(x, bounds.x), std::max(y, bounds.y),
                       std::min(right(), bounds.right()), std::min(bottom(), bounds.bottom()));
    }
    /// Grows to the smallest rectangle that holds `r` too.
    constexpr void add(const PixelRect& r) {
        if (r.empty()) return;
        if (empty()) {
            *this = r;
            return;
        }
        *this = corners(std::min(x, r.x), std::min(y, r.y), std::max(right(), r.right()),
                        std::max(bottom(), r.bottom()));
    }
    bool operator==(const PixelRect&) const = default;
};

} // namespace gs
