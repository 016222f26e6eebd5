// The unit table: one row per look a unit can have, with everything the game knows
// about that kind of unit. The sprites arm a unit from its row when they draw it, the
// level start gives it its row's hit points, and the automatic player plans with the
// same rows, so a change made here reaches every one of them.
#pragma once

#include <cstdint>
#include <optional>

#include "system/types.h"

namespace gs {

/// Unit type codes, as level files write them.
enum UnitType : i16 {
    T_MISHEN = 0, ///< practice target
    T_HOUSE = 1,
    T_BUILDING = 2,
    T_BUNKER = 3,
    T_TRANSPORTBTR = 4, ///< armoured transport
    T_LTANK = 5,        ///< light tank
    T_OTANK = 6,        ///< heavier tank
    T_SAU = 7,          ///< self-propelled gun
    T_ROCKETMAN = 8,    ///< rocket infantryman
    T_RSZO = 9,         ///< multiple rocket launcher
    T_ENEMYGUN = 10,
    T_RADARMACH = 11, ///< radar machine
};
constexpr int UNIT_TYPES = 12;

/// The looks, one per sprite procedure: every type has one, the radar machine two
/// (driving while RADAR is 1, deployed otherwise).
enum class Look : std::uint8_t {
    MISHEN,
    HOUSE,
    BUILDING,
    BUNKER,
    TRANSPORTBTR,
    LTANK,
    OTANK,
    SAU,
    ROCKETMAN,
    RSZO,
    ENEMYGUN,
    RADARMACH1,
    RADARMACH2,
};
constexpr int LOOKS = 13;

/// What drawing a unit arms it with.
struct Arms {
    i16 SPEED; ///< pixels per advance; 0 never moves
    i16 GX;    ///< hit box width, centred on the unit's X
    i16 GY;    ///< hit box height above the ground line
    i16 SHOT;  ///< kind of fire 1..5; 0 never fires
    i16 DIST;  ///< firing range in pixels
};

struct UnitKind {
    const char* name; ///< the sprite procedure that draws the look
    i16 MAXHP;        ///< maximum hit points of the type
    Arms arms;
};

/// The row of a look.
const UnitKind& unitKind(Look look);
/// The look a unit of type `typ` is drawn with while the radar machines are in state
/// `radar`; nothing for a code that is no unit type.
std::optional<Look> lookOf(int typ, int radar);
/// Maximum hit points by type code; -1 for a code without a type.
i16 maxHpOfType(int typ);

} // namespace gs
