#include "combat/damage.h"

#include <cstdlib>

namespace gs {

namespace {

/// Blast of one ammunition type: reach (strict) and loss at distance d, for units and
/// for the gun, which is built to take less from a fugasy shell.
struct Blast {
    int unitReach, unitBase, unitSlope;
    int gunReach, gunBase, gunSlope;
};

const Blast* blastOf(i16 snaryad) {
    static constexpr Blast table[3] = {
        {80, 500, 2, 80, 200, 2},     // fugasy
        {40, 1000, 3, 40, 1000, 3},   // armor-biting
        {250, 2000, 3, 250, 1000, 3}, // tactical nuclear
    };
    return (snaryad >= A_FUGASY && snaryad <= A_NUCLEAR) ? &table[snaryad - 1] : nullptr;
}

} // namespace

void URONIX(Game& G, i16 X12) {
    const Blast* b = blastOf(G.SNARYAD);
    if (!b) return;
    const int g = std::abs(X12 - G.GUNX);
    for (int INP10 = 1; INP10 <= G.units(); ++INP10) {
        OBJ& o = G.unit(INP10);
        const int d = std::abs(X12 - o.X);
        if (d < b->unitReach) o.HEALTH = w16(o.HEALTH - (b->unitBase - b->unitSlope * d));
        // The gun's test sits inside the roster loop: a shell near the gun hurts it once
        // for every roster entry, destroyed ones included.
        if (g < b->gunReach) G.GUNHP = w16(G.GUNHP - (b->gunBase - b->gunSlope * g));
    }
}

void SPLASH(Game& G) {
    const int col = G.GUNX + G.X;
    for (int i = 1; i <= G.units(); ++i) {
        OBJ& o = G.unit(i);
        if (std::abs(col - o.X) < G.RAST) o.HEALTH = w16(o.HEALTH - G.URON);
    }
}

} // namespace gs
