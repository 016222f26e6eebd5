#include "platform/console.h"

#include "platform/runtime_error.h"

namespace gs {

namespace {

int digitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

} // namespace

std::optional<std::int64_t> parseNumberToken(std::string_view t, bool isUnsigned) {
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    if (negative && isUnsigned) return std::nullopt;
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < t.size() && t[i] == '%') {
        base = 2;
        ++i;
    } else if (i < t.size() && t[i] == '&') {
        base = 8;
        ++i;
    }
    if (i >= t.size()) return std::nullopt; // a sign or a prefix without digits
    // The magnitude may reach 2^31 for a negative number, 2^32 - 1 for an unsigned read.
    const std::int64_t limit = isUnsigned ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    std::int64_t v = 0;
    for (; i < t.size(); ++i) {
        int d = digitValue(static_cast<unsigned char>(t[i]));
        if (d >= base) return std::nullopt;
        v = v * base + d;
        if (v > limit) return std::nullopt;
    }
    return negative ? -v : v;
}

Console::Console(Terminal& t) : term_(t) {
    screen_ = t.isScreen();
    cols_ = t.cols() > 0 ? t.cols() : 80;
    rows_ = t.rows() > 0 ? t.rows() : 25;
}

void Console::putByte(unsigned char b) {
    if (!screen_) {
        // Plain text: every byte as it is, no wrapping; only the column is tracked.
        out_.push_back(static_cast<char>(b));
        if (b == '\n' || b == '\r')
            col_ = 1;
        else
            ++col_;
        return;
    }
    switch (b) {
    case 7: return; // the bell is not shown
    case 8:
        if (col_ > 1) {
            out_.push_back('\b');
            --col_;
        }
        return;
    case '\r':
        out_.push_back('\r');
        col_ = 1;
        return;
    case '\n':
        out_.push_back('\n');
        newRow();
        return;
    default: break;
    }
    if (b < 32 || b == 127) b = '?'; // a control byte from a briefing must not steer the terminal
    out_.push_back(static_cast<char>(b));
    // A UTF-8 continuation byte shares the cell of the byte that started its character.
    if (b >= 0x80 && b < 0xC0) return;
    if (++col_ > cols_) {
        // Past the right edge: column 1 of the next row, scrolling at the bottom.
        out_ += "\r\n";
        col_ = 1;
        newRow();
    }
}

void Console::newRow() {
    if (row_ < rows_)
        ++row_;
    else
        ++scrolled_;
}

void Console::flush() {
    if (out_.empty()) return;
    std::string bytes;
    bytes.swap(out_);
    term_.write(bytes);
}

void Console::moveTo(int col, int row) {
    if (!screen_ || row < 1 || row > rows_ || col < 1 || col > cols_) return;
    flush();
    term_.moveCursor(col, row);
    col_ = col;
    row_ = row;
}

void Console::ClrScr() {
    if (!screen_ && col_ != 1) putByte('\n'); // keep the next screen on a line of its own
    flush();
    term_.clear();
    col_ = 1;
    row_ = 1;
}

void Console::GotoXY(u8 col, u8 row) {
    if (col == 0 || row == 0 || col > cols_ || row > rows_) return;
    moveTo(col, row);
}

bool Console::KeyPressed() {
    flush();
    if (pending_) return true;
    if (auto k = term_.pollKey()) {
        pending_ = *k;
        return true;
    }
    return false;
}

void Console::WaitKey() {
    flush();
    if (onPlayerWait) onPlayerWait();
    if (!pending_) pending_ = term_.waitKey();
}

void Console::Write(std::string_view text) {
    for (char c : text) putByte(static_cast<unsigned char>(c));
    flush();
}

void Console::WriteLn(std::string_view text) {
    for (char c : text) putByte(static_cast<unsigned char>(c));
    lineEnd();
    flush();
}

void Console::lineEnd() {
    if (screen_) putByte('\r');
    putByte('\n');
}

int Console::nextKey() {
    if (pending_) {
        int k = *pending_;
        pending_.reset();
        return k;
    }
    flush();
    return term_.waitKey();
}

void Console::collectLine() {
    flush();
    if (onPlayerWait) onPlayerWait();
    std::string line;
    std::size_t cur = 0; // cursor position within the typed characters
    const int startCol = col_, startRow = row_;
    const long startScroll = scrolled_;
    // The screen cell of the k-th typed character, following wrapping and scrolling.
    auto place = [&](std::size_t k) {
        long lin = startCol - 1 + static_cast<long>(k);
        int c = static_cast<int>(lin % cols_) + 1;
        long r = startRow + lin / cols_ - (scrolled_ - startScroll);
        moveTo(c, static_cast<int>(r));
    };
    for (;;) {
        int k = nextKey();
        if (k == KEY_ENTER || k == '\n') {
            if (screen_) {
                if (cur != line.size()) place(line.size());
                lineEnd();
            } else {
                for (char c : line) putByte(static_cast<unsigned char>(c));
                lineEnd();
            }
            flush();
            buf_ = line + "\r\n";
            pos_ = 0;
            return;
        }
        if (k == KEY_BACKSPACE) {
            if (cur == 0) continue;
            line.erase(cur - 1, 1);
            --cur;
            if (screen_) {
                place(cur);
                for (std::size_t i = cur; i < line.size(); ++i)
                    putByte(static_cast<unsigned char>(line[i]));
                putByte(' ');
                place(cur);
            }
        } else if (k == KEY_ESC) {
            if (screen_) {
                place(0);
                for (std::size_t i = 0; i < line.size(); ++i) putByte(' ');
                place(0);
            }
            line.clear();
            cur = 0;
        } else if (k == KEY_LEFT || k == KEY_RIGHT || k == KEY_HOME || k == KEY_END) {
            if (k == KEY_LEFT && cur > 0) --cur;
            if (k == KEY_RIGHT && cur < line.size()) ++cur;
            if (k == KEY_HOME) cur = 0;
            if (k == KEY_END) cur = line.size();
            place(cur);
        } else if (k >= KEY_EXT || k < 0 || k == 26) {
            // Other function keys, and Ctrl-Z (the console has no end of input): ignored.
        } else if (cur < line.size()) {
            line[cur++] = static_cast<char>(k); // typed over the character under the cursor
            if (screen_) putByte(static_cast<unsigned char>(k));
        } else if (line.size() < MAX_LINE) {
            line.push_back(static_cast<char>(k));
            ++cur;
            if (screen_) putByte(static_cast<unsigned char>(k));
        }
        flush();
    }
}

std::int64_t Console::readNumber(bool isUnsigned) {
    for (;;) {
        while (pos_ < buf_.size() && static_cast<unsigned char>(buf_[pos_]) <= 32) ++pos_;
        if (pos_ < buf_.size()) break;
        collectLine(); // a blank line does not answer: wait for one that holds something
    }
    std::size_t start = pos_;
    while (pos_ < buf_.size() &&
           pos_ - start<MAX_TOKEN&& static_cast<unsigned char>(buf_[pos_])> 32)
        ++pos_;
    auto v = parseNumberToken(std::string_view(buf_).substr(start, pos_ - start), isUnsigned);
    if (!v) raiseRuntimeError(RE_INVALID_NUMBER);
    return *v;
}

void Console::endLine() {
    if (bufferUsedUp()) collectLine();
    auto lf = buf_.find('\n', pos_);
    pos_ = lf == std::string::npos ? buf_.size() : lf + 1;
}

u8 Console::ReadUnsigned() { return w8(readNumber(true)); }

void Console::ReadLn(i16& a) {
    a = w16(readNumber(false));
    endLine();
}

void Console::ReadLn(i16& a, i16& b) {
    a = w16(readNumber(false));
    b = w16(readNumber(false));
    endLine();
}

char Console::ReadCharLn() {
    if (bufferUsedUp()) collectLine();
    char c = buf_[pos_++];
    if (c != '\n') {
        auto lf = buf_.find('\n', pos_);
        pos_ = lf == std::string::npos ? buf_.size() : lf + 1;
    }
    return c;
}

std::string_view Console::bufferedInput() const {
    return std::string_view(buf_).substr(pos_ < buf_.size() ? pos_ : buf_.size());
}

} // namespace gs
