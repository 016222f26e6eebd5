// The terminal side of the console: raw keyboard mode with its guaranteed restore, and
// the decoding of the escape sequences that cursor and function keys send.
#pragma once

#include <functional>
#include <optional>

#include "console/console.h"

namespace gs {

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
