// The whole game state: every global of the game under its own name and width.
//
// Every integer is 16-bit signed unless stated, stored through w16() (system/types.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "state/units.h"
#include "system/types.h"

namespace gs {

/// Ammunition codes held in SNARYAD.
enum Ammo : i16 { A_FUGASY = 1, A_ARMORBITING = 2, A_NUCLEAR = 3 };

/// The roster holds at most this many units, indexed 1..MAXUNITS.
constexpr int MAXUNITS = 20;
/// The ground line: row of the gun, every unit, shell, bomb and ground explosion.
constexpr int GROUND = 500;
/// The screen row of a point `height` pixels above the ground line.
constexpr i16 rowAbove(int height) { return w16(GROUND - height); }
/// The health bars' rows, just under the ground line.
constexpr int HEALTH_BAR_TOP = GROUND + 10, HEALTH_BAR_BOTTOM = GROUND + 15;

/// The escalation counter OBRU is 1 when a battle starts and rises to at most OBRU_MAX,
/// in three bands of five: the indicator's colour and the enemy's aiming spread follow
/// the band. The fighter may come from OBRU_AIRSTRIKE on, the bomber only at the top.
constexpr i16 OBRU_MAX = 15;
constexpr i16 OBRU_AIRSTRIKE = 10;
constexpr i16 OBRU_CARPETBOMBING = OBRU_MAX;
/// 1, 2 or 3 for a counter of 1..5, 6..10 or 11..15; 0 outside them (never in play).
constexpr int escalationBand(int obru) {
    return obru >= 1 && obru <= OBRU_MAX ? (obru - 1) / 5 + 1 : 0;
}
/// True while the counter may still rise.
constexpr bool canEscalate(int obru) { return obru > 0 && obru < OBRU_MAX; }

/// One roster entry.
struct OBJ {
    i16 X = 0;      ///< screen x of the unit's centre
    i16 TYP = 0;    ///< unit type code
    i16 HEALTH = 0; ///< current hit points (may go negative until clamped)
    i16 UVIS = 0;   ///< 1 once destroyed and blown up
    i16 MAXHP = 0;  ///< maximum hit points of the type
    i16 GX = 0;     ///< hit box width, centred on X (written by the sprite)
    i16 GY = 0;     ///< hit box height above the ground line (written by the sprite)
    i16 SPEED = 0;  ///< pixels per advance; 0 never moves
    i16 SHOT = 0;   ///< kind of fire 1..5; 0 never fires
    i16 DIST = 0;   ///< firing range in pixels
};

/// Every global of the game. One instance is shared by every procedure of a run.
struct State {
    // Level and roster.
    i16 LEV = 0;
    i16 NUMB = 0;
    std::array<OBJ, MAXUNITS + 1> OBJS{}; ///< indexed 1..20; slot 0 is never used
    i16 GUNX = 0, GUNHP = 0, MAXGUNHP = 0;
    i16 FS = 0, BS = 0, TS = 0;

    // The current shot.
    i16 SNARYAD = 0;
    i16 V = 0, A = 0;
    i16 DX = 0, DY = 0;
    i16 X = 0, Y = 0;
    i16 CHEAT = 0;
    i16 RAST = 0, URON = 0;

    // Escalation and radar.
    i16 OBRU = 0;
    i16 RADAR = 0, RDR = 0, RDRNMB = 0;

    // Battle flags.
    bool VICT = false, LOSE = false;
    i16 ALLHP = 0;
    i16 Q = 0;
    char DIAL = 0;

    // Menus and modes.
    u8 M = 0, MEN = 0;
    bool LOGIC = false;
    i16 EIL = 0, CTS = 0, II1 = 0;

    // Level file text.
    std::string S, LEV_STR, TSS;
    i16 GD = 0, GM = 0;

    // Values carried within one procedure.
    i16 T = 0, EX = 0;  ///< shell flight
    i16 POGR = 0;       ///< enemy aiming spread
    i16 ZN = 0, XS = 0; ///< enemy movement
    bool MOVING = false;
    i16 INP = 0, INP1 = 0, INP3 = 0, INP4 = 0, INP5 = 0;

    /// Number of roster slots the loops visit: NUMB, never outside 0..20.
    int units() const { return NUMB < 0 ? 0 : (NUMB > MAXUNITS ? MAXUNITS : NUMB); }
    OBJ& unit(int i) { return OBJS[static_cast<std::size_t>(i)]; }
    const OBJ& unit(int i) const { return OBJS[static_cast<std::size_t>(i)]; }
};

/// Gives every unit the maximum hit points of its type and the gun its maximum.
void MAXIMALHP(State& s);
/// The per-level reset, after the level's roster is in place.
void ANTICHEAT(State& s);
/// Hook called right after CHEAT is set; has no effect.
void CHECKCHEAT(State& s);

} // namespace gs
