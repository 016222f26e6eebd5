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
        OBJ& U = G.unit(INPM);
        G.MOVING = U.SPEED > 0 && U.HEALTH > 0;
        if (!G.MOVING) continue;
        G.ZN = w16(G.Random(2) - 1);
        G.XS = U.X;
        // Each pixel erases the whole roster, moves the unit and draws the roster
        // again. The walk always ends: a unit only walks towards the gun, and it
        // overruns the gun before its 16-bit position could wrap past the target.
        while (U.X != G.XS + G.ZN * U.SPEED) {
            G.gr.SetColor(colour::Black);
            PAINTOBJ(G);
            U.X = w16(U.X + G.ZN);
            G.gr.SetColor(colour::White);
            PAINTOBJ(G);
            G.Delay(10);
            if (U.X - G.GUNX < 20) {
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
    const int d = std::abs(s.unit(s.RDRNMB).X - s.GUNX);
    if (s.RADAR == 1 && d < 800)
        s.RADAR = 2;
    else if (s.RADAR == 2 && d > 800)
        s.RADAR = 1;
}

} // namespace gs
