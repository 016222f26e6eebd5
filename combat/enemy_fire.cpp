#include "combat/enemy_fire.h"

namespace gs {
void AISHOT(Game&) {} // the enemy does not answer yet
} // namespace gs
