#include "state/state.h"

namespace gs {

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
