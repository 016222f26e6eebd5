// The battlefield furniture and the player's gun.
#pragma once
#include "state/game.h"

namespace gs {
/// Ground line and panel frame, ammunition counters, escalation indicator.
/// Leaves colour 15 and a solid fill in the indicator's colour.
void FIELD(Game& G);
/// The player's gun at GUNX in the current colour; changes no drawing state.
void GUN(Game& G);
} // namespace gs
