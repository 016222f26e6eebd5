#include "air/raids.h"

namespace gs {
void CARPETBOMBING(Game&) {} // no air raids yet
void AIRSTRIKE(Game&) {}
void BOMBER(Game&, i16) {}
void FIGHTER(Game&, i16) {}
} // namespace gs
