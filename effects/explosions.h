// Explosion animations. They only draw and wait; none changes the game state.
#pragma once
#include "state/game.h"

namespace gs {
/// High-explosive blast; 300 ms. Leaves colour 14 and the empty fill.
void EXPLODE(Game& G, i16 U, i16 I);
/// Armor-biting blast with random scatter; 300 ms. Leaves colour 14 and the empty fill.
void BEXPLODE(Game& G, i16 U, i16 I);
/// Rising mushroom cloud, 100 frames. Leaves colour 15 and solid yellow fill.
void NUCLEAR(Game& G, i16 U, i16 I);
/// A destroyed unit bursting into 5 to 9 fire balls. Leaves solid yellow fill.
void XEXPLODE(Game& G, i16 U, i16 I);
} // namespace gs
