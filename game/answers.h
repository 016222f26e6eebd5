// The player's number answers: a read that finds no number says so, and the question's
// own loop asks again, in its own layout.
#pragma once

#include "state/game.h"

namespace gs {

/// Reads one (or two) signed numbers and ends the line. False when the answer was not a
/// number: the line that says so is written, the targets keep their values.
bool readNumberAnswer(Game& G, i16& a);
bool readNumberAnswer(Game& G, i16& a, i16& b);

} // namespace gs
