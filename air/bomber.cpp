// The bomber's carpet bombing: late in a level, with radar on the enemy's side,
// a bomber crosses the top of the window and lays a stick of ten bombs across the gun.
#include <array>
#include <cstdlib>

#include "air/raids.h"

#include "air/aircraft.h"
#include "combat/damage.h"
#include "effects/explosions.h"

namespace gs {

namespace {

// The outline, as lines from (BXP1 + x1, y1) to (BXP1 + x2, y2).
constexpr AircraftLine BOMBER_LINES[] = {
    {-75, 50, -65, 40}, // nose, upper edge
    {-65, 40, 65, 40},  // back of the fuselage
    {75, 20, 65, 40},   // fin, front edge
    {75, 20, 95, 20},   // fin, top
    {93, 40, 95, 20},   // fin, rear edge
    {93, 40, 100, 40},  // tail, top
    {100, 50, 100, 40}, // tail, rear end
    {100, 50, 65, 60},  // tail, lower edge
    {-70, 60, 65, 60},  // belly
    {-70, 60, -75, 50}, // nose, lower edge
    {-30, 47, 30, 47},  // wing, front edge
    {-35, 50, -30, 47}, // wing tip, upper
    {-35, 50, -30, 53}, // wing tip, lower
    {30, 47, -30, 53},  // wing, diagonal
};

/// A falling bomb: a 21-pixel dash under the bomber, drawn 4 rows above its height.
void drawBomb(Game& G, i16 x, i16 height) {
    const i16 row = rowAbove(height + 4);
    G.gr.Rectangle(w16(x - 10), row, w16(x + 10), row);
}

} // namespace

void BOMBER(Game& G, i16 BXP1) { drawAircraft(G, BOMBER_LINES, BXP1); }

void CARPETBOMBING(Game& G) {
    const i16 ASP1 = w16(G.Random(40));
    if (!(ASP1 > 20 && G.OBRU == OBRU_CARPETBOMBING && G.RDR == 1)) return;

    const i16 BTZ = 1;
    // Entries 1..10: height of each bomb over the ground line (430 while still
    // aboard); entries 11..20: whether it has exploded.
    std::array<i16, 51> BOMBS{};
    for (int i = 1; i <= 10; ++i) BOMBS[i] = 430;

    // Approach until the bomber is close enough that the stick straddles the gun.
    i16 BOPX1 = G.gr.GetMaxX();
    G.sound(Sound::BomberApproach);
    do {
        flashAircraft(G, BOMBER, BOPX1, 10);
        BOPX1 = w16(BOPX1 - 25);
    } while (!(BOPX1 - G.GUNX <= 437));

    i16 TIME1 = 0;
    G.sound(Sound::BombFall);
    do {
        G.gr.SetColor(colour::White);
        BOMBER(G, BOPX1);
        for (int i = 1; i <= 10; ++i) {
            if (i * BTZ <= TIME1) {
                const std::int64_t sinceDrop = TIME1 - i * BTZ;
                BOMBS[i] = w16(430 - 5 * sinceDrop * sinceDrop);
            }
            if (BOMBS[i] > 0 && BOMBS[i] <= 430) drawBomb(G, BOPX1, BOMBS[i]);
        }
        G.Delay(10);
        G.gr.SetColor(colour::Black);
        BOMBER(G, BOPX1);
        for (int i = 1; i <= 10; ++i) {
            G.gr.SetColor(colour::Black);
            drawBomb(G, BOPX1, BOMBS[i]);
            if (BOMBS[i] <= 0 && BOMBS[10 + i] == 0) {
                G.sound(Sound::BombImpact, std::abs(BOPX1 - G.GUNX));
                EXPLODE(G, BOPX1, GROUND);
                BOMBS[10 + i] = 1;
                hitGun(G, BOPX1, BOMB);
            }
        }
        BOPX1 = w16(BOPX1 - 25);
        TIME1 = w16(TIME1 + 1);
    } while (!(BOPX1 <= 0));
}

} // namespace gs
