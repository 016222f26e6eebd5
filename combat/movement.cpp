#include "combat/movement.h"

namespace gs {
void MOVE(Game&) {} // the enemy does not advance yet
void RADARMACH(Game&) {}
} // namespace gs
