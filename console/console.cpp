#include "console/console.h"

namespace gs {

Console::Console(Terminal& terminal) : term_(terminal) {
    screen_ = terminal.isScreen();
    cols_ = terminal.cols() > 0 ? terminal.cols() : 80;
    rows_ = terminal.rows() > 0 ? terminal.rows() : 25;
}

void Console::plainByte(unsigned char byte) {
    if (!onPlainText) return;
    plain_.push_back(static_cast<char>(byte));
    plainCol_ = byte == '\n' || byte == '\r' ? 1 : plainCol_ + 1;
}

void Console::screenOnlyByte(unsigned char byte) {
    screenOnly_ = true;
    putByte(byte);
    screenOnly_ = false;
}

void Console::putByte(unsigned char byte) {
    if (screen_ && !screenOnly_) plainByte(byte);
    if (!screen_) {
        // Plain text: every byte as it is, no wrapping; only the column is tracked.
        out_.push_back(static_cast<char>(byte));
        if (byte == '\n' || byte == '\r')
            col_ = 1;
        else
            ++col_;
        return;
    }
    // A byte of 0x80 to 0x9F is a control (C1) to an 8-bit terminal unless it continues a
    // UTF-8 character: the bytes a lead byte announces are let through, a stray one is not.
    const bool continues = utf8Left_ > 0 && byte >= 0x80 && byte < 0xC0;
    utf8Left_ = continues                      ? utf8Left_ - 1
                : byte >= 0xC2 && byte <= 0xDF ? 1
                : byte >= 0xE0 && byte <= 0xEF ? 2
                : byte >= 0xF0 && byte <= 0xF4 ? 3
                                               : 0;
    switch (byte) {
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
    if (byte < 32 || byte == 127 || (byte >= 0x80 && byte < 0xA0 && !continues))
        byte = '?'; // a control byte from a briefing must not steer the terminal
    out_.push_back(static_cast<char>(byte));
    // A UTF-8 continuation byte shares the cell of the byte that started its character.
    if (byte >= 0x80 && byte < 0xC0) return;
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
    if (!plain_.empty()) {
        std::string text;
        text.swap(plain_);
        onPlainText(text);
    }
    if (out_.empty()) return;
    std::string bytes;
    bytes.swap(out_);
    if (!screen_ && onPlainText) onPlainText(bytes);
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
    if (screen_ && plainCol_ != 1) plainByte('\n');
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
    if (screen_) screenOnlyByte('\r');
    putByte('\n');
}

int Console::nextKey() {
    if (pending_) {
        int key = *pending_;
        pending_.reset();
        return key;
    }
    flush();
    return term_.waitKey();
}

void Console::collectLine() {
    flush();
    if (onPlayerWait) onPlayerWait();
    std::string line;
    std::size_t cursor = 0; // cursor position within the typed characters
    const int startCol = col_, startRow = row_;
    const long startScroll = scrolled_;
    // The screen cell of the typed-th character, following wrapping and scrolling.
    auto place = [&](std::size_t typed) {
        long offset = startCol - 1 + static_cast<long>(typed);
        int column = static_cast<int>(offset % cols_) + 1;
        long row = startRow + offset / cols_ - (scrolled_ - startScroll);
        moveTo(column, static_cast<int>(row));
    };
    // Up and Down walk the answer history; `recalled` is the answer shown, history_.size()
    // the line being typed, which Down past the newest answer brings back as it was left.
    std::size_t recalled = history_.size();
    std::string typing;
    auto showInstead = [&](const std::string& shown) {
        if (screen_) {
            place(0);
            for (char ch : shown) screenOnlyByte(static_cast<unsigned char>(ch));
            for (std::size_t at = shown.size(); at < line.size(); ++at) screenOnlyByte(' ');
            place(shown.size());
        }
        line = shown;
        cursor = line.size();
    };
    for (;;) {
        int key = nextKey();
        if (key == KEY_ENTER || key == '\n') {
            if (screen_) {
                if (cursor != line.size()) place(line.size());
                for (char ch : line) plainByte(static_cast<unsigned char>(ch));
                lineEnd();
            } else {
                for (char ch : line) putByte(static_cast<unsigned char>(ch));
                lineEnd();
            }
            flush();
            if (onEditLine) onEditLine({}, 0);
            if (line.find_first_not_of(" \t") != std::string::npos) {
                if (history_.size() == MAX_HISTORY) history_.pop_front();
                history_.push_back(line);
            }
            buf_ = line + "\r\n";
            pos_ = 0;
            return;
        }
        if (key == KEY_BACKSPACE) {
            if (cursor == 0) continue;
            line.erase(cursor - 1, 1);
            --cursor;
            if (screen_) {
                place(cursor);
                for (std::size_t at = cursor; at < line.size(); ++at)
                    screenOnlyByte(static_cast<unsigned char>(line[at]));
                screenOnlyByte(' ');
                place(cursor);
            }
        } else if (key == KEY_ESC) {
            if (screen_) {
                place(0);
                for (std::size_t at = 0; at < line.size(); ++at) screenOnlyByte(' ');
                place(0);
            }
            line.clear();
            cursor = 0;
        } else if (key == KEY_LEFT || key == KEY_RIGHT || key == KEY_HOME || key == KEY_END) {
            if (key == KEY_LEFT && cursor > 0) --cursor;
            if (key == KEY_RIGHT && cursor < line.size()) ++cursor;
            if (key == KEY_HOME) cursor = 0;
            if (key == KEY_END) cursor = line.size();
            place(cursor);
        } else if (key == KEY_UP) {
            if (recalled == 0) continue;
            if (recalled == history_.size()) typing = line;
            showInstead(history_[--recalled]);
        } else if (key == KEY_DOWN) {
            if (recalled == history_.size()) continue;
            ++recalled;
            showInstead(recalled == history_.size() ? typing : history_[recalled]);
        } else if (key >= KEY_EXT || key < 0 || key == 26) {
            // Other function keys, and Ctrl-Z (the console has no end of input): ignored.
        } else if (cursor < line.size()) {
            line[cursor++] = static_cast<char>(key); // typed over the character under the cursor
            if (screen_) screenOnlyByte(static_cast<unsigned char>(key));
        } else if (line.size() < MAX_LINE) {
            line.push_back(static_cast<char>(key));
            ++cursor;
            if (screen_) screenOnlyByte(static_cast<unsigned char>(key));
        }
        flush();
        if (onEditLine) onEditLine(line, cursor);
    }
}

std::optional<std::int64_t> Console::readNumber(bool isUnsigned) {
    for (;;) {
        while (pos_ < buf_.size() && static_cast<unsigned char>(buf_[pos_]) <= 32) ++pos_;
        if (pos_ < buf_.size()) break;
        collectLine(); // a blank line does not answer: wait for one that holds something
    }
    std::size_t start = pos_;
    while (pos_ < buf_.size() && (pos_ - start) < MAX_TOKEN &&
           static_cast<unsigned char>(buf_[pos_]) > 32)
        ++pos_;
    return parseNumberToken(std::string_view(buf_).substr(start, pos_ - start), isUnsigned);
}

void Console::endLine() {
    if (bufferUsedUp()) collectLine();
    auto lineFeed = buf_.find('\n', pos_);
    pos_ = lineFeed == std::string::npos ? buf_.size() : lineFeed + 1;
}

bool Console::ReadUnsigned(u8& target) {
    auto value = readNumber(true);
    if (!value) {
        endLine(); // what follows a wrong answer on its line is no answer either
        return false;
    }
    target = w8(*value);
    return true;
}

bool Console::ReadLn(i16& a) {
    auto value = readNumber(false);
    endLine();
    if (!value) return false;
    a = w16(*value);
    return true;
}

bool Console::ReadLn(i16& a, i16& b) {
    auto first = readNumber(false);
    // A first answer that is not a number leaves the second unread: the line is dropped.
    auto second = first ? readNumber(false) : std::nullopt;
    endLine();
    if (!first || !second) return false;
    a = w16(*first);
    b = w16(*second);
    return true;
}

char Console::ReadCharLn() {
    if (bufferUsedUp()) collectLine();
    char ch = buf_[pos_++];
    if (ch != '\n') {
        auto lineFeed = buf_.find('\n', pos_);
        pos_ = lineFeed == std::string::npos ? buf_.size() : lineFeed + 1;
    }
    return ch;
}

std::string_view Console::bufferedInput() const {
    return std::string_view(buf_).substr(pos_ < buf_.size() ? pos_ : buf_.size());
}

} // namespace gs
