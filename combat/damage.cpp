#include "combat/damage.h"

#include <cstdlib>

namespace gs {

namespace {

/// The loss at `distance` from the impact, or 0 out of the blast's reach.
int lossAt(const Blast& blast, int distance) {
    return distance < blast.reach ? blast.base - blast.slope * distance : 0;
}

} // namespace

void hitGun(State& s, int impactX, const Blast& blast) {
    const int distance = std::abs(impactX - s.GUNX);
    if (distance < blast.reach) s.GUNHP = w16(s.GUNHP - lossAt(blast, distance));
}

void URONIX(State& s, i16 X12) {
    if (s.SNARYAD < A_FUGASY || s.SNARYAD > A_NUCLEAR) return;
    const ShellBlast& blast = PLAYER_BLASTS[s.SNARYAD - A_FUGASY];
    for (int INP10 = 1; INP10 <= s.units(); ++INP10) {
        OBJ& unit = s.unit(INP10);
        const int distance = std::abs(X12 - unit.X);
        if (distance < blast.units.reach)
            unit.HEALTH = w16(unit.HEALTH - lossAt(blast.units, distance));
        // The gun's test sits inside the roster loop: a shell near the gun hurts it once
        // for every roster entry, destroyed ones included.
        hitGun(s, X12, blast.gun);
    }
}

void SPLASH(State& s) {
    const int column = s.GUNX + s.X;
    for (int i = 1; i <= s.units(); ++i) {
        OBJ& unit = s.unit(i);
        if (std::abs(column - unit.X) < s.RAST) unit.HEALTH = w16(unit.HEALTH - s.URON);
    }
}

} // namespace gs
