// How the battlefield picture is shown in the area a window or a page gives it: whole,
// centred, scaled by the largest factor that fits, never cropped. The game's picture keeps
// its size; only its showing changes.
#pragma once

#include <cstdint>

#include "platform/graph.h"
#include "platform/pane_render.h"

namespace gs {

/// The smallest picture the one window or the web page picks by itself from its area: the
/// battle (the ground at row 500, the bars under it) and the nearest units stay in it. A
/// smaller area shows it shrunk.
constexpr int SMALLEST_CHOSEN_W = 640, SMALLEST_CHOSEN_H = 540;

/// Where a picture of `pictureW` x `pictureH` shows in an area of `areaW` x `areaH`
/// (relative to the area's top-left corner): enlarged by the largest whole factor that
/// fits (at least 1), centred with bars around it; when even its own size does not fit,
/// shrunk by the largest fraction that fits, the aspect ratio kept. Empty when either
/// side is empty.
PixelArea fitPicture(int pictureW, int pictureH, int areaW, int areaH);

/// Paints rectangle `changed` of the indexed picture (`pictureW` x `pictureH`, one byte a
/// pixel) into its place `shown` of a 32-bit target: at a whole factor N every picture
/// pixel becomes an N x N block; shrunk, every shown pixel takes the highest colour index
/// of the picture pixels it stands for, so that no one-pixel line is lost. Only the target pixels
/// inside both `shown` and the target's own rectangle are written. Returns them, in the target
/// buffer's coordinates.
PixelArea paintPicture(const std::uint8_t* picture, int pictureW, int pictureH, PixelRect changed,
                       const PixelTarget& target, PixelArea shown, const PixelPalette& palette);

/// The same into 16-bit pixels (a desktop in 16-bit colour); the palette's values are the
/// 16-bit pixels.
PixelArea paintPicture16(const std::uint8_t* picture, int pictureW, int pictureH, PixelRect changed,
                         std::uint16_t* pixels, int pitch, PixelArea bounds, PixelArea shown,
                         const PixelPalette& palette);

} // namespace gs
