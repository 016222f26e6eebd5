// Air raids: the bomber's carpet bombing and the fighter's airstrike.
#pragma once
#include "state/game.h"

namespace gs {
void CARPETBOMBING(Game& G);
void AIRSTRIKE(Game& G);
/// The aircraft, drawn as lines in the current colour at reference x BXP1.
void BOMBER(Game& G, i16 BXP1);
void FIGHTER(Game& G, i16 BXP1);
} // namespace gs
