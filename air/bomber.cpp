// The bomber's carpet bombing: late in a level, with radar on the enemy's side,
// a bomber crosses the top of the window and lays a stick of ten bombs across the gun.
#include <array>
#include <cstdlib>

#include "air/raids.h"

#include "air/aircraft.h"
#include "effects/explosions.h"

namespace gs {

void BOMBER(Game& G, i16 BXP1) {
    const int B = BXP1;
    Graph& g = G.gr;
    g.Line(B - 75, 50, B - 65, 40);   // nose, upper edge
    g.Line(B - 65, 40, B + 65, 40);   // back of the fuselage
    g.Line(B + 75, 20, B + 65, 40);   // fin, front edge
    g.Line(B + 75, 20, B + 95, 20);   // fin, top
    g.Line(B + 93, 40, B + 95, 20);   // fin, rear edge
    g.Line(B + 93, 40, B + 100, 40);  // tail, top
    g.Line(B + 100, 50, B + 100, 40); // tail, rear end
    g.Line(B + 100, 50, B + 65, 60);  // tail, lower edge
    g.Line(B - 70, 60, B + 65, 60);   // belly
    g.Line(B - 70, 60, B - 75, 50);   // nose, lower edge
    g.Line(B - 30, 47, B + 30, 47);   // wing, front edge
    g.Line(B - 35, 50, B - 30, 47);   // wing tip, upper
    g.Line(B - 35, 50, B - 30, 53);   // wing tip, lower
    g.Line(B + 30, 47, B - 30, 53);   // wing, diagonal
}

void CARPETBOMBING(Game& G) {
    const i16 ASP1 = w16(G.Random(40));
    if (!(ASP1 > 20 && G.OBRU == 15 && G.RDR == 1)) return;

    const i16 BTZ = 1;
    // Entries 1..10: height of each bomb over the ground line (430 while still
    // aboard); entries 11..20: whether it has exploded.
    std::array<i16, 51> BOMBS{};
    for (int i = 1; i <= 10; ++i) BOMBS[i] = 430;

    // Approach until the bomber is close enough that the stick straddles the gun.
    i16 BOPX1 = G.gr.GetMaxX();
    do {
        flashAircraft(G, BOMBER, BOPX1, 10);
        BOPX1 = w16(BOPX1 - 25);
    } while (!(BOPX1 - G.GUNX <= 437));

    i16 TIME1 = 0;
    do {
        G.gr.SetColor(15);
        BOMBER(G, BOPX1);
        for (int i = 1; i <= 10; ++i) {
            if (i * BTZ <= TIME1) {
                const std::int64_t t = TIME1 - i * BTZ;
                BOMBS[i] = w16(430 - 5 * t * t);
            }
            if (BOMBS[i] > 0 && BOMBS[i] <= 430)
                G.gr.Rectangle(BOPX1 - 10, 496 - BOMBS[i], BOPX1 + 10, 496 - BOMBS[i]);
        }
        G.Delay(10);
        G.gr.SetColor(0);
        BOMBER(G, BOPX1);
        for (int i = 1; i <= 10; ++i) {
            G.gr.SetColor(0);
            G.gr.Rectangle(BOPX1 - 10, 496 - BOMBS[i], BOPX1 + 10, 496 - BOMBS[i]);
            if (BOMBS[i] <= 0 && BOMBS[10 + i] == 0) {
                EXPLODE(G, BOPX1, 500);
                BOMBS[10 + i] = 1;
                const int d = std::abs(BOPX1 - G.GUNX);
                if (d < 150) G.GUNHP = w16(G.GUNHP - 600 + 2 * d);
            }
        }
        BOPX1 = w16(BOPX1 - 25);
        TIME1 = w16(TIME1 + 1);
    } while (!(BOPX1 <= 0));
}

} // namespace gs
