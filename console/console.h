// The console: text output at a cursor, line input with echo and editing, key polling,
// and the number, character and line reads that the menus and the battle use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "console/keys.h"
#include "system/number_token.h"
#include "system/types.h"

namespace gs {

/// A typed line holds at most this many characters.
constexpr std::size_t MAX_LINE = 254;
/// The answer history keeps this many of the latest answers, for the run only.
constexpr std::size_t MAX_HISTORY = 100;

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
    // The number reads answer false when the player typed something that is not a number:
    // the targets keep their values and the rest of that line is dropped, so the question
    // can be asked again on a fresh line. Whether to ask again is the caller's choice.

    /// The menus' read: an unsigned number, low 8 bits kept; the rest of the line stays.
    [[nodiscard]] bool ReadUnsigned(u8& target);
    /// Signed number(s), low 16 bits kept, then the rest of the line is dropped.
    [[nodiscard]] bool ReadLn(i16& a);
    [[nodiscard]] bool ReadLn(i16& a, i16& b);
    /// The next character of the line (13 for an empty line); the rest is dropped.
    char ReadCharLn();

    /// Called each time the game begins to wait for the player (a new line is needed,
    /// or a key wait begins): the snapshot hook.
    std::function<void()> onPlayerWait;
    /// Receives the output as plain output (a pipe) has it, whatever the terminal: the
    /// bytes written, LF line ends, a line end before a screen cleared in mid-line, and a
    /// typed line once Enter takes it; no cursor moves, wrapping or editing. A screen
    /// keeps a running transcript with it that reads like the piped game's.
    std::function<void(std::string_view)> onPlainText;
    /// Receives the line being typed and the cursor's place in it (bytes) after every key
    /// of line input, an empty line once Enter takes it: a screen that shows the running
    /// transcript rather than the console's cells (the page on a phone) shows the answer
    /// with it, recalled answers and editing included.
    std::function<void(std::string_view line, std::size_t cursor)> onEditLine;

    Terminal& terminal() { return term_; }

    // ---- Inspection ----
    int cursorCol() const { return col_; }
    int cursorRow() const { return row_; }
    int windowCols() const { return cols_; }
    int windowRows() const { return rows_; }
    /// True when output is on a screen (cursor control, wrapping, scrolling).
    bool screen() const { return screen_; }
    /// True when nothing has been written on the current output line.
    bool atLineStart() const { return col_ == 1; }
    /// The unread rest of the input line buffer.
    std::string_view bufferedInput() const;
    /// The answers Up brings back, oldest first: every line Enter took that was not
    /// blank, the latest MAX_HISTORY of them.
    const std::deque<std::string>& history() const { return history_; }

private:
    /// Puts one byte at the cursor (screen: wrapping and scrolling; plain: as it is).
    void putByte(unsigned char b);
    /// Puts a byte only the screen shows (the line editor's echo, the CR of a line end):
    /// the plain transcript leaves it out.
    void screenOnlyByte(unsigned char b);
    /// Adds a byte to the plain transcript of a screen.
    void plainByte(unsigned char b);
    /// Moves the on-screen cursor to a cell, tracking it.
    void moveTo(int col, int row);
    /// The cursor goes one row down; at the bottom row the window scrolls instead.
    void newRow();
    /// The output line end: CR LF on a screen, LF in plain text.
    void lineEnd();
    /// Hands the collected output bytes to the terminal.
    void flush();
    /// Collects a new typed line into the input buffer.
    void collectLine();
    /// Next key of line input: the pending key first, else a blocking wait.
    int nextKey();
    bool bufferUsedUp() const { return pos_ >= buf_.size(); }
    /// Skips separators (collecting lines) and takes a token; its value, or nothing when
    /// it is not a number.
    std::optional<std::int64_t> readNumber(bool isUnsigned);
    /// Drops the rest of the line including its line end.
    void endLine();

    Terminal& term_;
    bool screen_ = false;
    int cols_ = 80, rows_ = 25;
    int col_ = 1, row_ = 1;
    /// Rows the window has scrolled since start; line editing uses it to find its line.
    long scrolled_ = 0;
    std::string out_;         ///< output not yet handed to the terminal
    int utf8Left_ = 0;        ///< bytes still due of the UTF-8 character being written
    std::string plain_;       ///< a screen's plain transcript not yet handed on
    int plainCol_ = 1;        ///< the transcript's own column
    bool screenOnly_ = false; ///< the byte being put is left out of the transcript
    std::optional<int> pending_;
    std::string buf_;
    std::size_t pos_ = 0;
    std::deque<std::string> history_;
};

} // namespace gs
