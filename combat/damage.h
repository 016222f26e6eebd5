// Damage: what the player's shell takes off the units and the gun, and what the enemy's
// shells, rockets and bombs take off the gun. Each is a blast: a strict reach around the
// impact column and a loss that falls off with the distance d.
#pragma once

#include "state/state.h"

namespace gs {

/// Within `reach` pixels of the impact column (strictly), `base - slope * d` is lost.
struct Blast {
    int reach, base, slope;
};

/// The player's shell of each ammunition code 1..3, on the units and on the gun (which
/// is built to take less from a fugasy shell).
struct ShellBlast {
    Blast units, gun;
};
// clang-format off
constexpr ShellBlast PLAYER_BLASTS[3] = {
    {{80, 500, 2},   {80, 200, 2}},    // fugasy
    {{40, 1000, 3},  {40, 1000, 3}},   // armor-biting
    {{250, 2000, 3}, {250, 1000, 3}},  // tactical nuclear
};
// clang-format on

/// What the enemy's weapons take off the gun.
constexpr Blast ENEMY_SHELL{200, 200, 1}; ///< artillery and tank shells, guided rockets
constexpr Blast SALVO_ROCKET{80, 200, 1}; ///< each rocket of a salvo
constexpr Blast BOMB{150, 600, 2};        ///< each bomb of a carpet bombing
constexpr Blast FIGHTER_ROCKET{150, 300, 2};

/// Lowers the gun's hit points by `blast` for an impact at column `impactX`.
void hitGun(State& s, int impactX, const Blast& blast);

/// Damage by ammunition type and distance from the impact column X12, to every unit
/// and (once per roster entry) to the gun.
void URONIX(State& s, i16 X12);
/// The splash after the damage rule: URON hit points off every unit closer than RAST.
void SPLASH(State& s);

} // namespace gs
