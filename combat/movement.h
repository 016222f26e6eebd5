// The enemy's advance on the gun, and the radar machine's deploying and packing up.
#pragma once
#include "state/game.h"

namespace gs {
void MOVE(Game& G);
void RADARMACH(Game& G);
} // namespace gs
