// The console's key codes, whatever keyboard they come from: a terminal's bytes and escape
// sequences, the one window's keys, the page's keys and the demos all speak them.
#pragma once

namespace gs {

/// Keys: 0..255 are character bytes; a function or cursor key is KEY_EXT + its scan code.
constexpr int KEY_EXT = 0x100;
constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_ENTER = 13;
constexpr int KEY_ESC = 27;
constexpr int KEY_HOME = KEY_EXT + 71;
constexpr int KEY_LEFT = KEY_EXT + 75;
constexpr int KEY_RIGHT = KEY_EXT + 77;
constexpr int KEY_END = KEY_EXT + 79;
/// Up and Down bring back the answers typed before (the answer history).
constexpr int KEY_UP = KEY_EXT + 72;
constexpr int KEY_DOWN = KEY_EXT + 80;

// Scan codes of the keys the decoder knows besides the console's own (KEY_EXT + the code;
// the console ignores all but Up and Down, its KEY_UP and KEY_DOWN). The window's keyboard
// maps its keys to the same codes.
constexpr int SC_UP = 72, SC_DOWN = 80, SC_PGUP = 73, SC_PGDN = 81, SC_INS = 82, SC_DEL = 83;
static_assert(KEY_EXT + SC_UP == KEY_UP && KEY_EXT + SC_DOWN == KEY_DOWN);
constexpr int SC_F1 = 59;            ///< F1 to F4 follow it
constexpr int KEY_UNKNOWN = KEY_EXT; ///< a key the game has no use for

} // namespace gs
