// What the enemy's rockets share: the exact roundings of their steps, the test of
// whether a falling rocket points at the gun, and the step of an accelerating dive.
// The guided rocket of the ground troops and the fighter's rocket both use them.
//
// The flights multiply 16-bit speeds by one tenth (the time step) and by the
// acceleration factors 1.11, 1.13 and 1.14 in extended precision and round the
// result. For every 16-bit input those results are reproduced exactly by the
// integer rules below, so the paths do not depend on the host's floating point.
#pragma once

#include <cstdint>

#include "system/types.h"

namespace gs {

/// v / 10 rounded to the nearest integer, halves away from zero: round(v x 0.1)
/// with the time step 0.1 held slightly above a tenth (45 -> 5, -45 -> -5).
constexpr std::int64_t tenthAway(std::int64_t v) {
    return v >= 0 ? (v + 5) / 10 : -((-v + 5) / 10);
}

/// v / 10 rounded, ties to even: round(v / 10) of the fighter's rocket (-5 -> 0, -15 -> -2).
constexpr std::int64_t tenthEven(std::int64_t v) { return divEven(v, 10); }

/// round(v x percent / 100), ties to even: the accelerating dives (percent 111, 113, 114).
constexpr std::int64_t scaleEven(std::int64_t v, std::int64_t percent) {
    return divEven(v * percent, 100);
}

/// Whether a rocket at (x, height) with velocity (dx, dy) points at the gun's column:
/// the slope from the rocket to the gun, height / (x - gunX), lies strictly between
/// |dy + tolerance| / dx and |dy - tolerance| / dx, that is within the tolerance of the
/// rocket's own descent. Right above the gun's column the slope has no value, and the
/// rocket does not count as pointing at the gun; nor does one without horizontal speed.
bool pointsAtGun(i16 x, i16 height, i16 gunX, i16 dx, i16 dy, i16 tolerance);

/// How the two diving rockets accelerate and round their steps.
struct DiveRule {
    int growX, growY; ///< the speeds grow by these percentages per step (ties to even)
    /// The guided rocket adds a tenth of its speed, rounded half away from zero, to each
    /// coordinate; the fighter's rocket rounds each new coordinate as a whole, ties to even.
    bool roundWhole;
    /// The fighter's rocket counts its horizontal speed towards the left.
    bool speedLeftward;
};
constexpr DiveRule GUIDED_ROCKET_DIVE{111, 113, false, false};
constexpr DiveRule FIGHTER_ROCKET_DIVE{111, 114, true, true};

/// One step of a dive from (x, height) at (dx, dy) tenths of a pixel per step: the new
/// position goes to (toX, toHeight), then dx and dy grow by the rule's percentages.
void diveStep(const DiveRule& rule, i16 x, i16 height, i16& dx, i16& dy, i16& toX, i16& toHeight);

} // namespace gs
