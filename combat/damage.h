// The damage rule of the player's shot.
#pragma once
#include "state/game.h"

namespace gs {
/// Damage by ammunition type and distance from the impact column X12, to every unit
/// and (once per roster entry) to the gun.
void URONIX(Game& G, i16 X12);
/// The splash after the damage rule: URON hit points off every unit closer than RAST.
void SPLASH(Game& G);
} // namespace gs
