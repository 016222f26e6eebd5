// The fighter's airstrike: from the middle of a level on, with radar on the enemy's
// side, a fighter drops a rocket that falls until it points at the gun and then dives.
#include <cstdlib>

#include "air/raids.h"

#include "air/aircraft.h"
#include "combat/projectile.h"
#include "effects/explosions.h"

namespace gs {

void FIGHTER(Game& G, i16 BXP1) {
    const int B = BXP1;
    Graph& g = G.gr;
    g.Line(B - 30, 50, B + 30, 50); // belly
    g.Line(B - 30, 50, B - 40, 45); // nose, lower edge
    g.Line(B - 40, 45, B - 5, 40);  // nose and canopy
    g.Line(B - 5, 40, B + 20, 40);  // back
    g.Line(B + 20, 40, B + 35, 35); // fin, front edge
    g.Line(B + 35, 35, B + 40, 35); // fin, top
    g.Line(B + 40, 35, B + 33, 40); // fin, rear edge
    g.Line(B + 33, 40, B + 30, 50); // tail, rear edge
}

namespace {

/// Whether the falling rocket points at the gun: the slope from the rocket down to
/// the gun lies strictly within OTKL1 of the rocket's own descent. Right above the
/// gun's column the slope has no value; the rocket then keeps falling unaimed.
bool aimed(i16 RPPX2, i16 RPPY2, i16 GUNX, i16 DXX1, i16 DYY1, i16 OTKL1) {
    const int den = RPPX2 - GUNX;
    if (den == 0 || DXX1 == 0) return false;
    const long double S = static_cast<long double>(RPPY2) / den;
    const long double lo = static_cast<long double>(std::abs(DYY1 + OTKL1)) / DXX1;
    const long double hi = static_cast<long double>(std::abs(DYY1 - OTKL1)) / DXX1;
    return lo < S && S < hi;
}

void flyPast(Game& G, i16& BOPX1, int step) {
    flashAircraft(G, FIGHTER, BOPX1, 25);
    BOPX1 = w16(BOPX1 - step);
}

} // namespace

void AIRSTRIKE(Game& G) {
    const i16 ASP1 = w16(G.Random(6));
    if (!(ASP1 > 2 && G.OBRU >= 10 && G.RDR == 1)) return;

    const i16 PSX1 = 50;
    i16 BOPX1 = G.gr.GetMaxX();
    do flyPast(G, BOPX1, PSX1);
    while (!(BOPX1 <= 900));

    // Release under the belly; the rocket keeps the fighter's speed and drops.
    i16 RPPX1 = BOPX1, RPPY1 = 450, DYY1 = 0, DXX1 = PSX1;
    i16 RPPX2 = 0, RPPY2 = 0, OTKL1 = 0;
    bool onTarget = false;
    do {
        RPPX2 = w16(RPPX1 - tenthEven(DXX1));
        RPPY2 = w16(RPPY1 + tenthEven(DYY1));
        G.gr.SetColor(15);
        G.gr.Circle(RPPX2, 500 - RPPY2, 3);
        FIGHTER(G, BOPX1);
        G.Delay(2);
        G.gr.SetColor(0);
        G.gr.Circle(RPPX2, 500 - RPPY2, 3);
        FIGHTER(G, BOPX1);
        DYY1 = w16(DYY1 - 1);
        RPPX1 = RPPX2;
        RPPY1 = RPPY2;
        BOPX1 = w16(BOPX1 - 5);
        do OTKL1 = w16(G.Random(20));
        while (!(std::abs(OTKL1) < std::abs(DYY1)));
        onTarget = aimed(RPPX2, RPPY2, G.GUNX, DXX1, DYY1, OTKL1);
    } while (!(onTarget || RPPY1 <= -1));

    // The dive leaves a grey trail with a yellow head until the next redraw.
    // A rocket aimed while still falling slowly (a gun far off to the left) may
    // never gain enough speed to come down; once it is 2000 pixels past the left
    // edge it is lost and explodes there, as the enemy's guided rockets do.
    DXX1 = 50;
    do {
        BOPX1 = w16(BOPX1 - 5);
        G.gr.SetColor(0);
        RPPX2 = w16(tenthEven(10 * static_cast<std::int64_t>(RPPX1) - DXX1));
        RPPY2 = w16(tenthEven(DYY1 + 10 * static_cast<std::int64_t>(RPPY1)));
        DXX1 = w16(scaleEven(DXX1, 111));
        DYY1 = w16(scaleEven(DYY1, 114));
        G.gr.SetFillStyle(1, 7);
        G.gr.FillEllipse(RPPX1, 500 - RPPY1, 5, 5);
        G.gr.SetFillStyle(1, 14);
        G.gr.FillEllipse(RPPX2, 500 - RPPY2, 5, 5);
        flashAircraft(G, FIGHTER, BOPX1, 2);
        BOPX1 = w16(BOPX1 - 5);
        RPPX1 = RPPX2;
        RPPY1 = RPPY2;
        G.gr.SetColor(15);
    } while (!(RPPY1 <= -1 || RPPX1 < -2000));

    EXPLODE(G, RPPX1, 500);
    const int d = std::abs(RPPX1 - G.GUNX);
    if (d < 150) G.GUNHP = w16(G.GUNHP - 300 + 2 * d);

    do flyPast(G, BOPX1, 50);
    while (!(BOPX1 <= 0));
}

} // namespace gs
