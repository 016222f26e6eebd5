// The enemy's advance on the gun, pixel by pixel, and the radar machine's
// deploying and packing up.
#include "combat/movement.h"

#include <cstdlib>

#include "effects/explosions.h"
#include "render/sprites.h"

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
            G.gr.SetColor(0);
            PAINTOBJ(G);
            U.X = w16(U.X + G.ZN);
            G.gr.SetColor(15);
            PAINTOBJ(G);
            G.Delay(10);
            if (U.X - G.GUNX < 20) {
                EXPLODE(G, G.GUNX, 500);
                G.con.WriteLn("УБИТ");
                G.LOSE = true;
                G.con.WaitKey(); // the key stays pending for the replay question
                return;
            }
        }
    }
}

void RADARMACH(Game& G) {
    // Until a radar machine has been drawn there is no unit to watch.
    if (G.RDRNMB < 1 || G.RDRNMB > MAXUNITS) return;
    const int d = std::abs(G.unit(G.RDRNMB).X - G.GUNX);
    if (G.RADAR == 1 && d < 800)
        G.RADAR = 2;
    else if (G.RADAR == 2 && d > 800)
        G.RADAR = 1;
}

} // namespace gs
