// Unit sprites: drawing a unit also writes its combat values SPEED, GX, GY, SHOT, DIST.
#pragma once
#include "state/game.h"

namespace gs {
/// Draws every standing unit in roster order with the sprite of its type.
void PAINTOBJ(Game& G);

void MISHEN(Game& G, i16 NOF);
void HOUSE(Game& G, i16 NOF);
void BUILDING(Game& G, i16 NOF);
/// The only sprite that sets colours: leaves colour 15 and solid light-blue fill.
void BUNKER(Game& G, i16 NOF);
void TRANSPORTBTR(Game& G, i16 NOF);
void LTANK(Game& G, i16 NOF);
void OTANK(Game& G, i16 NOF);
void SAU(Game& G, i16 NOF);
void ROCKETMAN(Game& G, i16 NOF);
void RSZO(Game& G, i16 NOF);
void ENEMYGUN(Game& G, i16 NOF);
void RADARMACH1(Game& G, i16 NOF);
void RADARMACH2(Game& G, i16 NOF);
} // namespace gs
