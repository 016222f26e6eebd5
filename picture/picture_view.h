// How the battlefield picture is shown in the area a window or a page gives it: whole,
// centred, scaled by the largest factor that fits, never cropped. The game's picture keeps
// its size; only its showing changes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "picture/graph.h"
#include "picture/rect.h"

namespace gs {

/// Where a picture or the pane is painted: a rectangle of a 32-bit pixel buffer.
struct PixelTarget {
    std::uint32_t* pixels = nullptr; ///< the buffer's top-left pixel
    int pitch = 0;                   ///< bytes from one row of the buffer to the next
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelTarget&) const = default;
};

/// The buffer's pixel value for each palette index (the window takes them from its pixel
/// format, a browser from RGBA).
using PixelPalette = std::array<std::uint32_t, 256>;

/// The game's palette (vgaPalette) as pixel values, each made by `pixel` from its red,
/// green and blue.
PixelPalette pixelPalette(const std::function<std::uint32_t(std::uint8_t red, std::uint8_t green,
                                                            std::uint8_t blue)>& pixel);

/// Where a picture of `pictureW` x `pictureH` shows in an area of `areaW` x `areaH`
/// (relative to the area's top-left corner): enlarged by the largest whole factor that
/// fits (at least 1), centred with bars around it; when even its own size does not fit,
/// shrunk by the largest fraction that fits, the aspect ratio kept. Empty when either
/// side is empty.
PixelRect fitPicture(int pictureW, int pictureH, int areaW, int areaH);

/// Paints rectangle `changed` of the indexed picture (`pictureW` x `pictureH`, one byte a
/// pixel) into its place `shown` of a 32-bit target: at a whole factor N every picture
/// pixel becomes an N x N block; shrunk, every shown pixel takes the highest colour index
/// of the picture pixels it stands for, so that no one-pixel line is lost. Only the target pixels
/// inside both `shown` and the target's own rectangle are written. Returns them, in the target
/// buffer's coordinates.
PixelRect paintPicture(const std::uint8_t* picture, int pictureW, int pictureH, PixelRect changed,
                       const PixelTarget& target, PixelRect shown, const PixelPalette& palette);

/// The same into 16-bit pixels (a desktop in 16-bit colour); the palette's values are the
/// 16-bit pixels.
PixelRect paintPicture16(const std::uint8_t* picture, int pictureW, int pictureH, PixelRect changed,
                         std::uint16_t* pixels, int pitch, PixelRect bounds, PixelRect shown,
                         const PixelPalette& palette);

} // namespace gs
