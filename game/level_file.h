// Level files: "<level directory>/<LEV>.txt", the roster, gun and stocks as numbers, then
// the briefing lines that are shown before the battle.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "state/game.h"

namespace gs {

/// Where a game looks for its level directory, in order: `./level` (a `level` folder in
/// the current directory wins), the player's own `$XDG_DATA_HOME/gorvenshale/level`
/// (`~/.local/share/gorvenshale/level` when XDG_DATA_HOME is unset or not absolute; not
/// looked at when neither is an absolute path), then the installed directory. `given`
/// (--levels DIR) is the only place when there is one.
std::vector<std::string> levelDirectoryPlaces(const std::optional<std::string>& given);

/// The directory `make install` puts the levels in, compiled in from the install prefix.
std::string installedLevelDirectory();

/// Looks at `places` on disk and keeps the first that exists.
LevelDirectory findLevelDirectory(std::vector<std::string> places);
/// The line the report of run-time error 3 adds: the places the game looked at.
std::string missingLevelDirectoryNote(const LevelDirectory& dir);

/// The file of a level: the level directory, "/", the decimal level number, ".txt".
std::string levelFileName(const LevelDirectory& dir, i16 lev);

/// 0 when the level's file can be opened, otherwise the run-time error number opening it
/// would end with (2 file missing, 3 no level directory, 5 access denied).
int probeLevelFile(const LevelDirectory& dir, i16 lev);

/// Loads the level `LEV` from the game's level directory: roster, gun and stocks, then shows the
/// briefing. A file that announces more than 20 units keeps the first 20 (NUMB becomes 20) and
/// reads past the rest, so the briefing still shows right. NUMB of 0 or less gives a level without
/// units.
void loadLevel(Game& G);

} // namespace gs
