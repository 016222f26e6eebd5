// The enemy's advance on the gun, pixel by pixel, and the radar machine's
// deploying and packing up.
#include "combat/movement.h"

#include <cstdlib>

#include "effects/explosions.h"
#include "render/sprites.h"
#include "state/texts.h"

namespace gs {

void MOVE(Game& G) {
    for (int INPM = 1; INPM <= G.units(); ++INPM) {
        OBJ& unit = G.unit(INPM);
        G.MOVING = unit.SPEED > 0 && unit.HEALTH > 0;
        if (!G.MOVING) continue;
        G.ZN = w16(G.Random(2) - 1);
        G.XS = unit.X;
        // Each pixel erases the whole roster, moves the unit and draws the roster
        // again. The walk always ends: a unit only walks towards the gun, and it
        // overruns the gun before its 16-bit position could wrap past the target.
        while (unit.X != G.XS + G.ZN * unit.SPEED) {
            G.gr.SetColor(colour::Black);
            PAINTOBJ(G);
            unit.X = w16(unit.X + G.ZN);
            G.gr.SetColor(colour::White);
            PAINTOBJ(G);
            G.Delay(10);
            if (unit.X - G.GUNX < 20) {
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
