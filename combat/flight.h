// The player's shell in flight.
#pragma once
#include "game/state/game.h"

namespace gs {
/// Animates the shell from DX, DY until it enters a hit box or the ground;
/// leaves the stop point in X, Y (relative to GUNX and the ground line).
void FLY(Game& G);
} // namespace gs
