// The terminal side of the console: raw keyboard mode with its guaranteed restore, and
// the decoding of the escape sequences that cursor and function keys send.
#pragma once

#include <functional>
#include <optional>

#include "platform/console.h"

namespace gs {

// Scan codes of the keys the decoder knows besides the console's own (KEY_EXT + the code;
// the console ignores all but Up and Down, its KEY_UP and KEY_DOWN). The window's keyboard
// maps its keys to the same codes.
constexpr int SC_UP = 72, SC_DOWN = 80, SC_PGUP = 73, SC_PGDN = 81, SC_INS = 82, SC_DEL = 83;
static_assert(KEY_EXT + SC_UP == KEY_UP && KEY_EXT + SC_DOWN == KEY_DOWN);
constexpr int SC_F1 = 59;            ///< F1 to F4 follow it
constexpr int KEY_UNKNOWN = KEY_EXT; ///< a key the game has no use for

/// How long a lone Esc byte waits for the rest of an escape sequence, in milliseconds.
/// Terminals send a whole sequence at once, so 25 ms tells a typed Esc from a cursor key.
constexpr int ESC_SEQUENCE_MS = 25;

/// Puts a terminal into raw mode (no kernel echo or line editing, Ctrl-Z disabled) and
/// brings its settings back on every way out: destruction, exit(), Ctrl-C, SIGTERM,
/// SIGHUP, SIGQUIT, abort(). One instance at a time.
class RawMode {
public:
    /// Raw mode on `fd` when it is a terminal; otherwise nothing. `outFd` gets a line end
    /// when a signal ends the program, so the shell prompt starts on a fresh line.
    RawMode(int fd, int outFd);
    ~RawMode();
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;
    bool active() const;
    /// Restores the saved settings now (idempotent).
    static void restore();
};

/// Reads the next byte of a key's sequence, waiting at most the given milliseconds.
using MoreBytes = std::function<std::optional<unsigned char>(int timeoutMs)>;

/// Decodes one key press from a terminal that began with byte `first`: Enter (CR or LF),
/// Backspace (8 or 127), Esc alone, and the ESC [ / ESC O sequences of the cursor, editing,
/// keypad and function keys (KEY_EXT + the key's scan code). `unread` receives a byte
/// that was read but belongs to the next key.
int decodeTerminalKey(unsigned char first, const MoreBytes& more,
                      std::optional<unsigned char>& unread);

} // namespace gs
