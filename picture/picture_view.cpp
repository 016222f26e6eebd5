#include "picture/picture_view.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace gs {

PixelPalette pixelPalette(const std::function<std::uint32_t(std::uint8_t red, std::uint8_t green,
                                                            std::uint8_t blue)>& pixel) {
    PixelPalette values{};
    const Palette& rgb = vgaPalette();
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = pixel(rgb[i][0], rgb[i][1], rgb[i][2]);
    return values;
}

PixelRect fitPicture(int pictureW, int pictureH, int areaW, int areaH) {
    if (pictureW <= 0 || pictureH <= 0 || areaW <= 0 || areaH <= 0) return {};
    int w = 0, h = 0;
    const int factor = std::min(areaW / pictureW, areaH / pictureH);
    if (factor >= 1) {
        w = pictureW * factor;
        h = pictureH * factor;
    } else if (static_cast<long long>(areaW) * pictureH <=
               static_cast<long long>(areaH) * pictureW) {
        // The width is what binds.
        w = areaW;
        h = std::max(1, static_cast<int>(static_cast<long long>(pictureH) * areaW / pictureW));
    } else {
        h = areaH;
        w = std::max(1, static_cast<int>(static_cast<long long>(pictureW) * areaH / pictureH));
    }
    return {(areaW - w) / 2, (areaH - h) / 2, w, h};
}

namespace {

/// The source pixel (0-based, along one side) where shown pixel `at` begins.
int sourceAt(int at, int pictureSide, int shownSide) {
    return static_cast<int>(static_cast<long long>(at) * pictureSide / shownSide);
}

/// The first shown pixel whose source begins at or after `source` (at a whole factor).
int firstShown(int source, int pictureSide, int shownSide) {
    const long long n = static_cast<long long>(source) * shownSide;
    return static_cast<int>((n + pictureSide - 1) / pictureSide);
}

/// The shown pixel whose source span holds `source` (shrunk: each spans one or more): the
/// last one whose span begins at or before it.
int shownOver(int source, int pictureSide, int shownSide) {
    return firstShown(source + 1, pictureSide, shownSide) - 1;
}

template <class Pixel>
PixelRect paint(const std::uint8_t* picture, int pictureW, int pictureH, PixelRect changed,
                std::uint8_t* base, int pitch, PixelRect bounds, PixelRect shown,
                const PixelPalette& palette) {
    if (shown.empty() || pictureW <= 0 || pictureH <= 0) return {};
    changed = changed.clippedTo(PixelRect{0, 0, pictureW, pictureH});
    if (changed.empty()) return {};
    // Enlarged by a whole factor, each source pixel becomes a block; otherwise (shrunk)
    // each shown pixel stands for a span of source pixels.
    const bool whole = shown.width % pictureW == 0 && shown.height % pictureH == 0 &&
                       shown.width / pictureW == shown.height / pictureH;
    const int factor = whole ? shown.width / pictureW : 0;
    // The shown pixels whose source meets the changed rectangle, cut to the bounds.
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    if (factor > 0) {
        x0 = firstShown(changed.x, pictureW, shown.width);
        x1 = firstShown(changed.right() + 1, pictureW, shown.width);
        y0 = firstShown(changed.y, pictureH, shown.height);
        y1 = firstShown(changed.bottom() + 1, pictureH, shown.height);
    } else {
        x0 = shownOver(changed.x, pictureW, shown.width);
        x1 = shownOver(changed.right(), pictureW, shown.width) + 1;
        y0 = shownOver(changed.y, pictureH, shown.height);
        y1 = shownOver(changed.bottom(), pictureH, shown.height) + 1;
    }
    const PixelRect painted =
        PixelRect{shown.x + x0, shown.y + y0, x1 - x0, y1 - y0}.clippedTo(bounds);
    if (painted.empty()) return {};
    x0 = painted.x;
    y0 = painted.y;
    x1 = painted.x + painted.width;
    y1 = painted.y + painted.height;
    const std::size_t rowBytes = static_cast<std::size_t>(x1 - x0) * sizeof(Pixel);
    if (factor == 0) {
        // A shown pixel takes the highest colour index of its span: on the battlefield's
        // black a one-pixel line (the ground, a shell's trail) or a letter is never
        // dropped, as plain sampling would drop every line between two samples.
        // Each shown column's source span: where it begins and how many columns it takes.
        const std::size_t n = static_cast<std::size_t>(x1 - x0);
        std::vector<int> lefts(n), widths(n);
        for (std::size_t i = 0; i < n; ++i) {
            const int x = x0 + static_cast<int>(i) - shown.x;
            lefts[i] = sourceAt(x, pictureW, shown.width);
            widths[i] = std::max(1, sourceAt(x + 1, pictureW, shown.width) - lefts[i]);
        }
        const int from = lefts.front(), to = lefts.back() + widths.back();
        const bool narrow = *std::max_element(widths.begin(), widths.end()) <= 2;
        // A shown row's source rows folded into one first (a row of highest indices), so
        // that each shown pixel then reads one row only.
        std::vector<std::uint8_t> folded(static_cast<std::size_t>(pictureW));
        for (int y = y0; y < y1; ++y) {
            Pixel* out =
                reinterpret_cast<Pixel*>(base + static_cast<std::ptrdiff_t>(y) * pitch) + x0;
            const int top = sourceAt(y - shown.y, pictureH, shown.height);
            const int bottom = std::max(top + 1, sourceAt(y + 1 - shown.y, pictureH, shown.height));
            const std::uint8_t* in = picture + static_cast<std::size_t>(top) * pictureW;
            if (bottom - top > 1) {
                std::uint8_t* f = folded.data();
                std::memcpy(f + from, in + from, static_cast<std::size_t>(to - from));
                for (int sy = top + 1; sy < bottom; ++sy) {
                    const std::uint8_t* row = picture + static_cast<std::size_t>(sy) * pictureW;
                    for (int sx = from; sx < to; ++sx) f[sx] = std::max(f[sx], row[sx]);
                }
                in = f;
            }
            if (narrow) {
                // Spans of one or two columns (shrunk by less than half): no loop, no branch.
                for (std::size_t i = 0; i < n; ++i) {
                    const std::uint8_t* span = in + lefts[i];
                    out[i] = static_cast<Pixel>(palette[std::max(span[0], span[widths[i] - 1])]);
                }
                continue;
            }
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint8_t* span = in + lefts[i];
                std::uint8_t colour = span[0];
                for (int k = 1; k < widths[i]; ++k) colour = std::max(colour, span[k]);
                out[i] = static_cast<Pixel>(palette[colour]);
            }
        }
        return {x0, y0, x1 - x0, y1 - y0};
    }
    // Each source pixel fills `factor` pixels of the row in turn, and each row of blocks
    // is copied down (the common case: every frame of a 4K screen's takes it).
    std::vector<Pixel> blocks(static_cast<std::size_t>(
        ((x1 - 1 - shown.x) / factor - (x0 - shown.x) / factor + 1) * factor));
    int lastSource = -1;
    const Pixel* lastRow = nullptr;
    for (int y = y0; y < y1; ++y) {
        Pixel* out = reinterpret_cast<Pixel*>(base + static_cast<std::ptrdiff_t>(y) * pitch) + x0;
        const int source = (y - shown.y) / factor;
        if (source == lastSource) {
            // A row enlarged: the row above already holds it.
            std::memcpy(out, lastRow, rowBytes);
            continue;
        }
        const std::uint8_t* in = picture + static_cast<std::size_t>(source) * pictureW;
        if (factor == 1) {
            in += x0 - shown.x;
            for (int i = 0; i < x1 - x0; ++i) out[i] = static_cast<Pixel>(palette[in[i]]);
        } else {
            // The whole blocks under [x0, x1) are made in a row of their own, each source
            // pixel converted once and then repeated, and the part needed copied out.
            const int first = (x0 - shown.x) / factor, last = (x1 - 1 - shown.x) / factor;
            Pixel* row = blocks.data();
            if (factor == 2) {
                for (int sx = first; sx <= last; ++sx, row += 2)
                    row[0] = row[1] = static_cast<Pixel>(palette[in[sx]]);
            } else {
                for (int sx = first; sx <= last; ++sx, row += factor)
                    std::fill(row, row + factor, static_cast<Pixel>(palette[in[sx]]));
            }
            std::memcpy(out, blocks.data() + (x0 - shown.x - first * factor), rowBytes);
        }
        lastSource = source;
        lastRow = out;
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace

PixelRect paintPicture(const std::uint8_t* picture, int pictureW, int pictureH, PixelRect changed,
                       const PixelTarget& target, PixelRect shown, const PixelPalette& palette) {
    return paint<std::uint32_t>(picture, pictureW, pictureH, changed,
                                reinterpret_cast<std::uint8_t*>(target.pixels), target.pitch,
                                {target.x, target.y, target.width, target.height}, shown, palette);
}

PixelRect paintPicture16(const std::uint8_t* picture, int pictureW, int pictureH, PixelRect changed,
                         std::uint16_t* pixels, int pitch, PixelRect bounds, PixelRect shown,
                         const PixelPalette& palette) {
    return paint<std::uint16_t>(picture, pictureW, pictureH, changed,
                                reinterpret_cast<std::uint8_t*>(pixels), pitch, bounds, shown,
                                palette);
}

} // namespace gs
