// Where this game's levels come from: one directory, chosen at the start and kept with the
// game, so that every level of one game comes from the same place.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace gs {

struct LevelDirectory {
    /// Where the game looked, in order. Tests and tools that never choose read ./level,
    /// as a game started in the repository does.
    std::vector<std::string> places{"./level"};
    /// The first of them that exists; none: the game ends with run-time error 3.
    std::optional<std::string> found{"./level"};
};

} // namespace gs
