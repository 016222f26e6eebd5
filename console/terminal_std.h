// The console's terminal on file descriptors (normally standard input and output).
//
// Input from a terminal is read in raw mode and decoded key by key; input from a pipe or
// a file is one key per byte (CR, LF or CR LF is one Enter; 8 and 127 are Backspace;
// 27 is Esc), so that a scripted run behaves like typed input. Output to a terminal is
// placed with control sequences; any other output is plain text: the bytes written and
// echoed, with line ends, and nothing else.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "console/terminal_tty.h"

namespace gs {

/// The key one byte of piped input is: CR and LF are Enter, 8 and 127 Backspace, any
/// other byte itself.
int pipedKey(unsigned char byte);
/// The keys of piped input, as StdTerminal takes them from a pipe (a CR LF is one Enter).
std::vector<int> pipedKeys(std::string_view bytes);

class StdTerminal : public Terminal {
public:
    /// Window size is read here, once: the console window is fixed for the whole run.
    StdTerminal(int inFd = 0, int outFd = 1);
    ~StdTerminal() override;

    std::optional<int> pollKey() override;
    int waitKey() override;
    void write(std::string_view bytes) override;
    void clear() override;
    void moveCursor(int col, int row) override;
    bool isScreen() const override { return outTty_; }
    int cols() const override { return cols_; }
    int rows() const override { return rows_; }

    bool inputIsTerminal() const { return inTty_; }
    /// Gives the terminal its settings back (before the run-time error report).
    void restore();

private:
    /// Reads what is available, waiting up to `timeoutMs` (-1: until something comes).
    void fill(int timeoutMs);
    std::optional<unsigned char> nextByte(int timeoutMs);
    int decode(unsigned char first);

    int in_, out_;
    bool inTty_, outTty_;
    int cols_ = 80, rows_ = 25;
    std::unique_ptr<RawMode> raw_;
    std::deque<unsigned char> queue_;
    std::optional<unsigned char> unread_;
    bool ended_ = false;
    bool afterCR_ = false; ///< the last input byte was CR: an LF right after it is the same Enter
};

} // namespace gs
