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

/// numerator / divisor rounded to the nearest integer, ties to the even neighbour
/// (divisor > 0): the game's rounding of a quotient, exact for every input.
constexpr std::int64_t divEven(std::int64_t numerator, std::int64_t divisor) {
    std::int64_t quotient = numerator / divisor, remainder = numerator % divisor;
    if (remainder < 0) { // floor division, so that the remainder is in 0..divisor-1
        remainder += divisor;
        --quotient;
    }
    if (2 * remainder > divisor || (2 * remainder == divisor && (quotient & 1) != 0)) ++quotient;
    return quotient;
}

} // namespace gs
