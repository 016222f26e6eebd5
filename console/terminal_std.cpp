#include "console/terminal_std.h"

#include <cerrno>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

#include "system/runtime_error.h"

namespace gs {

int pipedKey(unsigned char byte) {
    if (byte == 13 || byte == 10) return KEY_ENTER;
    if (byte == 127 || byte == 8) return KEY_BACKSPACE;
    return byte;
}

std::vector<int> pipedKeys(std::string_view bytes) {
    std::vector<int> keys;
    bool afterCR = false;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool lfAfterCR = afterCR && byte == 10;
        afterCR = byte == 13;
        if (!lfAfterCR) keys.push_back(pipedKey(byte));
    }
    return keys;
}

StdTerminal::StdTerminal(int inFd, int outFd)
    : in_(inFd), out_(outFd), inTty_(isatty(inFd) != 0), outTty_(isatty(outFd) != 0) {
    struct winsize size {};
    if ((outTty_ && ioctl(out_, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) ||
        (inTty_ && ioctl(in_, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)) {
        cols_ = size.ws_col;
        rows_ = size.ws_row;
    }
    if (inTty_) raw_ = std::make_unique<RawMode>(in_, out_);
}

StdTerminal::~StdTerminal() { restore(); }

void StdTerminal::restore() { raw_.reset(); }

void StdTerminal::fill(int timeoutMs) {
    if (ended_) return;
    struct pollfd request {};
    request.fd = in_;
    request.events = POLLIN;
    for (;;) {
        int ready = poll(&request, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return; // nothing within the time (or poll failed: treated as nothing yet)
        unsigned char bytes[256];
        ssize_t got = ::read(in_, bytes, sizeof bytes);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) {
            ended_ = true; // end of the file, or a terminal that hung up
            return;
        }
        queue_.insert(queue_.end(), bytes, bytes + got);
        return;
    }
}

std::optional<unsigned char> StdTerminal::nextByte(int timeoutMs) {
    if (unread_) {
        auto byte = unread_;
        unread_.reset();
        return byte;
    }
    if (queue_.empty()) fill(timeoutMs);
    if (queue_.empty()) return std::nullopt;
    unsigned char byte = queue_.front();
    queue_.pop_front();
    return byte;
}

int StdTerminal::decode(unsigned char first) {
    if (inTty_) {
        MoreBytes more = [this](int ms) { return nextByte(ms); };
        return decodeTerminalKey(first, more, unread_);
    }
    return pipedKey(first);
}

std::optional<int> StdTerminal::pollKey() {
    for (;;) {
        auto byte = nextByte(0);
        if (!byte) return std::nullopt;
        bool lfAfterCR = afterCR_ && *byte == 10 && !inTty_;
        afterCR_ = *byte == 13;
        if (lfAfterCR) continue; // the second half of a CR LF line end
        return decode(*byte);
    }
}

int StdTerminal::waitKey() {
    for (;;) {
        if (auto key = pollKey()) return *key;
        if (ended_ && queue_.empty() && !unread_) raiseRuntimeError(RE_INPUT_ENDED);
        fill(-1); // blocks in poll until input arrives: no spinning
    }
}

void StdTerminal::write(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(out_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) raiseRuntimeError(RE_WRITE_FAILED);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void StdTerminal::clear() {
    if (outTty_) write("\x1b[H\x1b[2J");
}

void StdTerminal::moveCursor(int col, int row) {
    if (!outTty_) return;
    write("\x1b[" + std::to_string(row) + ";" + std::to_string(col) + "H");
}

} // namespace gs
