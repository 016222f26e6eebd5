// The 8x8 text font in IBM PC code page 437 order, and the same font by Unicode character
// for the console pane.
#pragma once
#include <cstdint>
#include <optional>

namespace gs {
/// The 8 rows of the glyph for byte `code`, top row first; the high bit is the leftmost pixel.
const std::uint8_t* font8x8(unsigned char code);

/// The code page 437 byte that shows Unicode character `point` (ASCII as itself, the
/// pictures of the control bytes by their characters), or nothing when that code page
/// has no such character.
std::optional<unsigned char> cp437Byte(char32_t point);

/// The glyph that shows Unicode character `point`: the code page 437 glyph where that code
/// page has the character, else the font's Latin-1 or Cyrillic glyph, else the replacement
/// glyph (an inverted question mark). Rows as in font8x8.
const std::uint8_t* glyphFor(char32_t point);

/// The replacement glyph on its own.
const std::uint8_t* replacementGlyph();
} // namespace gs
