#include "state/state.h"

namespace gs {

i16 maxHpOfType(int typ) {
    static constexpr i16 table[UNIT_TYPES] = {100,  450,  1500, 3000, 800, 1000,
                                              1400, 1200, 150,  1000, 500, 500};
    return (typ >= 0 && typ < UNIT_TYPES) ? table[typ] : -1;
}

void MAXIMALHP(State& s) {
    for (int i = 1; i <= s.units(); ++i) {
        i16 hp = maxHpOfType(s.unit(i).TYP);
        if (hp >= 0) s.unit(i).MAXHP = hp; // an unknown type keeps what its slot held
    }
    s.GUNHP = s.MAXGUNHP;
}

void ANTICHEAT(State& s) {
    for (int i = 1; i <= s.units(); ++i) s.unit(i).UVIS = 0;
    s.VICT = false;
    s.LOSE = false;
    s.RAST = 60;
    s.URON = 1;
    s.SNARYAD = A_FUGASY;
    s.RADAR = 1;
    s.Q = 0;
}

void CHECKCHEAT(State&) {}

} // namespace gs
