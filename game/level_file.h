// Level files: "./level/<LEV>.txt", the roster, gun and stocks as numbers, then the
// briefing lines that are shown before the battle.
#pragma once

#include <string>

#include "state/game.h"

namespace gs {

/// The file of a level: "./level/", the decimal level number, ".txt".
std::string levelFileName(i16 lev);

/// 0 when the level's file can be opened, otherwise the run-time error number opening it
/// would end with (2 file missing, 3 `level` directory missing, 5 access denied).
int probeLevelFile(i16 lev);

/// Loads the level `LEV`: roster, gun and stocks, then shows the briefing. A file that
/// announces more than 20 units keeps the first 20 (NUMB becomes 20) and reads past the
/// rest, so the briefing still shows right. NUMB of 0 or less gives a level without units.
void loadLevel(Game& G);

} // namespace gs
