// Small readers of the headless picture shared by the render tests.
#pragma once

#include <climits>
#include <cstdint>
#include <ostream>
#include <vector>

#include "picture/graph.h"

namespace gs::test {

/// Smallest rectangle holding every pixel that passes `keep` (empty when none does).
struct Box {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    bool empty() const { return x0 > x1; }
    bool operator==(const Box&) const = default;
};

template <class Keep> Box boxOf(const Graph& g, Keep keep) {
    Box b;
    const std::span<const std::uint8_t> px = g.pixels();
    for (int y = 0; y < g.height(); ++y) {
        const std::uint8_t* row = px.data() + static_cast<std::size_t>(y) * g.width();
        for (int x = 0; x < g.width(); ++x)
            if (keep(static_cast<int>(row[x]))) {
                if (x < b.x0) b.x0 = x;
                if (x > b.x1) b.x1 = x;
                if (y < b.y0) b.y0 = y;
                if (y > b.y1) b.y1 = y;
            }
    }
    return b;
}

inline std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "x " << b.x0 << ".." << b.x1 << ", rows " << b.y0 << ".." << b.y1;
}

/// Bounding box of everything that is not black.
inline Box litBox(const Graph& g) {
    return boxOf(g, [](int c) { return c != 0; });
}

inline int countColour(const Graph& g, int colour, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) n += g.pixel(x, y) == colour;
    return n;
}

} // namespace gs::test
