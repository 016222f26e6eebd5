// The fighter's airstrike: from the middle of a level on, with radar on the enemy's
// side, a fighter drops a rocket that falls until it points at the gun and then dives.
#include <cstdlib>

#include "air/raids.h"

#include "air/aircraft.h"
#include "combat/damage.h"
#include "combat/projectile.h"
#include "effects/explosions.h"

namespace gs {

namespace {

// The outline, as lines from (BXP1 + x1, y1) to (BXP1 + x2, y2).
constexpr AircraftLine FIGHTER_LINES[] = {
    {-30, 50, 30, 50},  // belly
    {-30, 50, -40, 45}, // nose, lower edge
    {-40, 45, -5, 40},  // nose and canopy
    {-5, 40, 20, 40},   // back
    {20, 40, 35, 35},   // fin, front edge
    {35, 35, 40, 35},   // fin, top
    {40, 35, 33, 40},   // fin, rear edge
    {33, 40, 30, 50},   // tail, rear edge
};

} // namespace

void FIGHTER(Game& G, i16 BXP1) { drawAircraft(G, FIGHTER_LINES, BXP1); }

namespace {

void flyPast(Game& G, i16& BOPX1, int step) {
    flashAircraft(G, FIGHTER, BOPX1, 25);
    BOPX1 = w16(BOPX1 - step);
}

} // namespace

void AIRSTRIKE(Game& G) {
    const i16 ASP1 = w16(G.Random(6));
    if (!(ASP1 > 2 && G.OBRU >= OBRU_AIRSTRIKE && G.RDR == 1)) return;

    const i16 PSX1 = 50;
    G.sound(Sound::FighterApproach);
    i16 BOPX1 = G.gr.GetMaxX();
    do flyPast(G, BOPX1, PSX1);
    while (!(BOPX1 <= 900));

    // Release under the belly; the rocket keeps the fighter's speed and drops.
    i16 RPPX1 = BOPX1, RPPY1 = 450, DYY1 = 0, DXX1 = PSX1;
    i16 RPPX2 = 0, RPPY2 = 0, OTKL1 = 0;
    bool onTarget = false;
    G.sound(Sound::FighterRocket);
    do {
        RPPX2 = w16(RPPX1 - tenthEven(DXX1));
        RPPY2 = w16(RPPY1 + tenthEven(DYY1));
        G.gr.SetColor(colour::White);
        G.gr.Circle(RPPX2, rowAbove(RPPY2), 3);
        FIGHTER(G, BOPX1);
        G.Delay(2);
        G.gr.SetColor(colour::Black);
        G.gr.Circle(RPPX2, rowAbove(RPPY2), 3);
        FIGHTER(G, BOPX1);
        DYY1 = w16(DYY1 - 1);
        RPPX1 = RPPX2;
        RPPY1 = RPPY2;
        BOPX1 = w16(BOPX1 - 5);
        do OTKL1 = w16(G.Random(20));
        while (!(std::abs(OTKL1) < std::abs(DYY1)));
        onTarget = pointsAtGun(RPPX2, RPPY2, G.GUNX, DXX1, DYY1, OTKL1);
    } while (!(onTarget || RPPY1 <= -1));

    // The dive leaves a grey trail with a yellow head until the next redraw.
    // A rocket aimed while still falling slowly (a gun far off to the left) may
    // never gain enough speed to come down; once it is 2000 pixels past the left
    // edge it is lost and explodes there, as the enemy's guided rockets do.
    DXX1 = 50;
    do {
        BOPX1 = w16(BOPX1 - 5);
        G.gr.SetColor(colour::Black);
        diveStep(FIGHTER_ROCKET_DIVE, RPPX1, RPPY1, DXX1, DYY1, RPPX2, RPPY2);
        G.gr.SetFillStyle(1, colour::LightGrey);
        G.gr.FillEllipse(RPPX1, rowAbove(RPPY1), 5, 5);
        G.gr.SetFillStyle(1, colour::Yellow);
        G.gr.FillEllipse(RPPX2, rowAbove(RPPY2), 5, 5);
        flashAircraft(G, FIGHTER, BOPX1, 2);
        BOPX1 = w16(BOPX1 - 5);
        RPPX1 = RPPX2;
        RPPY1 = RPPY2;
        G.gr.SetColor(colour::White);
    } while (!(RPPY1 <= -1 || RPPX1 < -2000));

    G.sound(Sound::EnemyImpact, std::abs(RPPX1 - G.GUNX));
    EXPLODE(G, RPPX1, GROUND);
    hitGun(G, RPPX1, FIGHTER_ROCKET);

    do flyPast(G, BOPX1, 50);
    while (!(BOPX1 <= 0));
}

} // namespace gs
