// Exact integer forms of the roundings the enemy's projectiles use.
//
// The flights multiply 16-bit speeds by one tenth (the time step) and by the
// acceleration factors 1.11, 1.13 and 1.14 in extended precision and round the
// result. For every 16-bit input those results are reproduced exactly by the
// integer rules below, so the paths do not depend on the host's floating point.
#pragma once

#include <cstdint>

namespace gs {

/// v / 10 rounded to the nearest integer, halves away from zero: round(v x 0.1)
/// with the time step 0.1 held slightly above a tenth (45 -> 5, -45 -> -5).
constexpr std::int64_t tenthAway(std::int64_t v) {
    return v >= 0 ? (v + 5) / 10 : -((-v + 5) / 10);
}

/// n / d rounded to the nearest integer, ties to the even neighbour (d > 0).
constexpr std::int64_t divEven(std::int64_t n, std::int64_t d) {
    std::int64_t q = n / d, r = n % d;
    if (r < 0) {
        r += d;
        --q;
    } // floor division
    if (2 * r > d || (2 * r == d && (q & 1) != 0)) ++q;
    return q;
}

/// v / 10 rounded, ties to even: round(v / 10) of the fighter's rocket (-5 -> 0, -15 -> -2).
constexpr std::int64_t tenthEven(std::int64_t v) { return divEven(v, 10); }

/// round(v x percent / 100), ties to even: the accelerating dives (percent 111, 113, 114).
constexpr std::int64_t scaleEven(std::int64_t v, std::int64_t percent) {
    return divEven(v * percent, 100);
}

} // namespace gs
