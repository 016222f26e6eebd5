// The 8x8 text font in IBM PC code page 437 order.
#pragma once
#include <cstdint>

namespace gs {
/// The 8 rows of the glyph for byte `code`, top row first; the high bit is the leftmost pixel.
const std::uint8_t* font8x8(unsigned char code);
} // namespace gs
