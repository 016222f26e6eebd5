// The console: text output at a cursor, line input with echo and editing, key polling,
// and the number, character and line reads that the menus and the battle use.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace gs {

using i16 = std::int16_t;
using u8 = std::uint8_t;

/// Keys: 0..255 are character bytes; a function or cursor key is KEY_EXT + its scan code.
constexpr int KEY_EXT = 0x100;
constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_ENTER = 13;
constexpr int KEY_ESC = 27;
constexpr int KEY_HOME = KEY_EXT + 71;
constexpr int KEY_LEFT = KEY_EXT + 75;
constexpr int KEY_RIGHT = KEY_EXT + 77;
constexpr int KEY_END = KEY_EXT + 79;

/// Where keys come from and where text goes: a terminal, a pipe, or a test script.
class Terminal {
public:
    virtual ~Terminal() = default;
    /// The next key press if one is queued; never blocks.
    virtual std::optional<int> pollKey() = 0;
    /// Blocks until a key press arrives (without spinning). At the end of the input it
    /// raises run-time error 100.
    virtual int waitKey() = 0;
    /// Writes bytes as they are; the console has already placed them.
    virtual void write(std::string_view bytes) = 0;
    /// Blanks the window and homes the cursor.
    virtual void clear() = 0;
    /// Moves the on-screen cursor (1-based).
    virtual void moveCursor(int col, int row) = 0;
    /// True when output goes to a screen that understands cursor control.
    virtual bool isScreen() const = 0;
    virtual int cols() const { return 80; }
    virtual int rows() const { return 25; }
};

class Console {
public:
    explicit Console(Terminal& t);

    void ClrScr();
    /// Moves the cursor; a column or row of 0 or beyond the window does nothing.
    void GotoXY(u8 col, u8 row);
    /// True when a key is pending; never waits, never consumes.
    bool KeyPressed();
    /// Waits until a key is pending (it stays pending for the next line input).
    void WaitKey();
    void Write(std::string_view text);
    void WriteLn(std::string_view text = {});
    /// The menus' read: an unsigned number, low 8 bits kept; the rest of the line stays.
    u8 ReadUnsigned();
    /// Signed number(s), low 16 bits kept, then the rest of the line is dropped.
    void ReadLn(i16& a);
    void ReadLn(i16& a, i16& b);
    /// The next character of the line (13 for an empty line); the rest is dropped.
    char ReadCharLn();

    /// Called each time the game begins to wait for the player (a new line is needed,
    /// or a key wait begins): the snapshot hook.
    std::function<void()> onPlayerWait;

    Terminal& terminal() { return term_; }

private:
    Terminal& term_;
    // The helper that builds the console owns the rest of this class.
};

} // namespace gs
