// The player's shell in flight.
#pragma once
#include "state/game.h"

namespace gs {
/// The shell's velocity per flight step, DX and DY, for a typed speed V and angle A in
/// degrees: the angle is turned into radians with 57.0 (so a vertical shot tips slightly
/// left) and each product is rounded to the nearest integer, ties to even.
void shotVelocity(i16 V, i16 A, i16& DX, i16& DY);

/// Animates the shell from DX, DY until it enters a hit box or the ground;
/// leaves the stop point in X, Y (relative to GUNX and the ground line).
void FLY(Game& G);

/// The shell's position at step T, as the 16-bit globals X and Y hold it:
/// (DX*T, DY*T - T*T), formed at full width and keeping the low 16 bits.
void shellAt(i16 DX, i16 DY, i16 T, i16& X, i16& Y);

/// True when the shell at (GUNX + X, Y) is inside unit `o`'s hit box. The box is
/// strict on all three sides and has no floor.
bool inHitBox(const OBJ& o, i16 GUNX, i16 X, i16 Y);
} // namespace gs
