// Health bars and the clamping of negative hit points.
#pragma once
#include "state/game.h"

namespace gs {
/// Bars of the gun and every standing unit. Leaves colour 15 and solid red fill.
void HEALTH(Game& G);
/// Sets every negative unit HEALTH to 0; the gun is not touched.
void GARMHEALTH(State& s);
} // namespace gs
