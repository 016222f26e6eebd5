// The enemy's advance on the gun, pixel by pixel, and the radar machine's
// deploying and packing up.
#include "combat/movement.h"

#include <cstdlib>

#include "effects/explosions.h"
#include "render/sprites.h"
#include "state/texts.h"

namespace gs {

namespace {
/// A unit that comes closer to the gun than this overruns it.
constexpr int OVERRUN_DISTANCE = 20;
} // namespace

void MOVE(Game& G) {
    for (int INPM = 1; INPM <= G.units(); ++INPM) {
        OBJ& unit = G.unit(INPM);
        G.MOVING = unit.SPEED > 0 && unit.HEALTH > 0;
        if (!G.MOVING) continue;
        G.ZN = w16(G.Random(2) - 1);
        G.XS = unit.X;
        // One pixel each 10 ms: the rumble lasts the whole advance.
        G.sound(Sound::UnitAdvance, 0, std::abs(unit.SPEED) * 10);
        // Each pixel erases the whole roster, moves the unit and draws the roster
        // again. The position is 16-bit and may wrap: a unit that a level puts within
        // one advance of -32768 steps over to 32767, and since its target lies below
        // -32768 it is never reached; the walk ends only when the unit overruns the gun.
        while (unit.X != G.XS + G.ZN * unit.SPEED) {
            G.gr.SetColor(colour::Black);
            PAINTOBJ(G);
            unit.X = w16(unit.X + G.ZN);
            // Walking towards the gun, the unit stands right of where it began only after
            // that wrap. The walk left would cross some 65,000 pixels, 10 ms each, almost
            // all far off the picture: the unit makes it in one step instead, to the first
            // pixel at which it overruns the gun.
            const int overrunAt = G.GUNX + OVERRUN_DISTANCE - 1;
            if (unit.X > G.XS && unit.X > overrunAt) unit.X = w16(overrunAt);
            G.gr.SetColor(colour::White);
            PAINTOBJ(G);
            G.Delay(10);
            if (unit.X - G.GUNX < OVERRUN_DISTANCE) {
                G.sound(Sound::EnemyImpact, 0);
                EXPLODE(G, G.GUNX, GROUND);
                G.con.WriteLn(text::OVERRUN);
                G.LOSE = true;
                G.con.WaitKey(); // the key stays pending for the replay question
                return;
            }
        }
    }
}

void RADARMACH(State& s) {
    // Until a radar machine has been drawn there is no unit to watch.
    if (s.RDRNMB < 1 || s.RDRNMB > MAXUNITS) return;
    const int distance = std::abs(s.unit(s.RDRNMB).X - s.GUNX);
    if (s.RADAR == 1 && distance < 800)
        s.RADAR = 2;
    else if (s.RADAR == 2 && distance > 800)
        s.RADAR = 1;
}

} // namespace gs
