// The game's integer widths and the one way a wider result is stored into them.
//
// Every game quantity is a 16-bit signed integer (the menu answers are unsigned 8-bit).
// Arithmetic is done in `int` or `int64_t` and the result stored through w16() or w8(),
// which keep the low bits, so a wrap-around is defined behaviour and never a signed
// overflow.
#pragma once

#include <cstdint>

namespace gs {

using i16 = std::int16_t;
using u8 = std::uint8_t;

/// Keeps the low 16 bits of a wider result: the one way a result enters a 16-bit value.
constexpr i16 w16(std::int64_t v) {
    return static_cast<i16>(static_cast<std::uint16_t>(v & 0xFFFF));
}
/// Keeps the low 8 bits (the menu answers).
constexpr u8 w8(std::int64_t v) { return static_cast<u8>(v & 0xFF); }

} // namespace gs
