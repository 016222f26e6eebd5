// The enemy's fire: shells, guided rockets, salvoes and the radar fix.
#pragma once
#include "state/game.h"

namespace gs {
void AISHOT(Game& G);
} // namespace gs
