// The enemy's advance on the gun, and the radar machine's deploying and packing up.
#pragma once
#include "state/game.h"

namespace gs {
void MOVE(Game& G);
/// The radar machine deploys within 800 pixels of the gun and packs up beyond them.
void RADARMACH(State& s);
} // namespace gs
