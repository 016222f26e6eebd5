// The practice ground of level 1 (targets and houses that do not shoot back), set up the
// way the level start sets a level up: the benchmarks' common battlefield.
#pragma once

#include "state/game.h"

namespace gs::bench {

/// Puts the first `units` (at most 5) of the practice ground's units in the roster, the
/// gun at 50 with 15, 5 and 1 shells and `maxGunHp` hit points, then the per-level reset
/// and full hit points.
inline void startPracticeLevel(State& s, int units, i16 maxGunHp) {
    struct Unit {
        i16 x, typ;
    };
    static constexpr Unit PRACTICE[] = {{300, 0}, {430, 0}, {560, 0}, {700, 1}, {860, 1}};
    s.NUMB = static_cast<i16>(units);
    for (int i = 0; i < units; ++i) {
        s.unit(i + 1).X = PRACTICE[i].x;
        s.unit(i + 1).TYP = PRACTICE[i].typ;
    }
    s.GUNX = 50;
    s.FS = 15;
    s.BS = 5;
    s.TS = 1;
    s.MAXGUNHP = maxGunHp;
    ANTICHEAT(s);
    MAXIMALHP(s);
    for (int i = 1; i <= s.units(); ++i) s.unit(i).HEALTH = s.unit(i).MAXHP;
}

} // namespace gs::bench
