#include "state/units.h"

namespace gs {

namespace {

// clang-format off
constexpr UnitKind TABLE[LOOKS] = {
    //                      MAXHP   SPEED  GX  GY SHOT  DIST
    {"MISHEN",               100, {    0, 20, 60,   0,    0}},
    {"HOUSE",                450, {    0, 40, 40,   0,    0}},
    {"BUILDING",            1500, {    0, 80, 50,   0,    0}},
    {"BUNKER",              3000, {    0, 80, 60,   0,    0}},
    {"TRANSPORTBTR",         800, {   40, 90, 40,   0, 2000}},
    {"LTANK",               1000, {   35, 60, 50,   2,  200}},
    {"OTANK",               1400, {   20, 60, 50,   2,  250}},
    {"SAU",                 1200, {   35, 60, 50,   1,  800}},
    {"ROCKETMAN",            150, {    5, 10, 10,   3,  650}},
    {"RSZO",                1000, {   35, 60, 50,   4,  550}},
    {"ENEMYGUN",             500, {    0, 60, 50,   1,  900}},
    {"RADARMACH1",           500, {   50, 30, 30,   0,    0}}, // driving
    {"RADARMACH2",           500, {    0, 50, 50,   5,  800}}, // deployed: fixes the aim
};
// clang-format on

} // namespace

const UnitKind& unitKind(Look look) { return TABLE[static_cast<int>(look)]; }

std::optional<Look> lookOf(int typ, int radar) {
    if (typ < 0 || typ >= UNIT_TYPES) return std::nullopt;
    if (typ == T_RADARMACH) return radar == 1 ? Look::RADARMACH1 : Look::RADARMACH2;
    return static_cast<Look>(typ);
}

i16 maxHpOfType(int typ) {
    const auto look = lookOf(typ, 1);
    return look ? unitKind(*look).MAXHP : i16(-1);
}

} // namespace gs
