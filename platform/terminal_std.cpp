#include "platform/terminal_std.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/runtime_error.h"

namespace gs {

StdTerminal::StdTerminal(int inFd, int outFd)
    : in_(inFd), out_(outFd), inTty_(isatty(inFd) != 0), outTty_(isatty(outFd) != 0) {
    // A reader that went away is reported as a failed write, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    struct winsize ws {};
    if ((outTty_ && ioctl(out_, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) ||
        (inTty_ && ioctl(in_, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0)) {
        cols_ = ws.ws_col;
        rows_ = ws.ws_row;
    }
    if (inTty_) raw_ = std::make_unique<RawMode>(in_, out_);
}

StdTerminal::~StdTerminal() { restore(); }

void StdTerminal::restore() { raw_.reset(); }

void StdTerminal::fill(int timeoutMs) {
    if (ended_) return;
    struct pollfd p {};
    p.fd = in_;
    p.events = POLLIN;
    for (;;) {
        int r = poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return; // nothing within the time (or poll failed: treated as nothing yet)
        unsigned char buf[256];
        ssize_t n = ::read(in_, buf, sizeof buf);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            ended_ = true; // end of the file, or a terminal that hung up
            return;
        }
        queue_.insert(queue_.end(), buf, buf + n);
        return;
    }
}

std::optional<unsigned char> StdTerminal::nextByte(int timeoutMs) {
    if (unread_) {
        auto b = unread_;
        unread_.reset();
        return b;
    }
    if (queue_.empty()) fill(timeoutMs);
    if (queue_.empty()) return std::nullopt;
    unsigned char b = queue_.front();
    queue_.pop_front();
    return b;
}

int StdTerminal::decode(unsigned char first) {
    if (inTty_) {
        MoreBytes more = [this](int ms) { return nextByte(ms); };
        return decodeTerminalKey(first, more, unread_);
    }
    if (first == 13 || first == 10) return KEY_ENTER;
    if (first == 127 || first == 8) return KEY_BACKSPACE;
    return first;
}

std::optional<int> StdTerminal::pollKey() {
    for (;;) {
        auto b = nextByte(0);
        if (!b) return std::nullopt;
        bool lfAfterCR = afterCR_ && *b == 10 && !inTty_;
        afterCR_ = *b == 13;
        if (lfAfterCR) continue; // the second half of a CR LF line end
        return decode(*b);
    }
}

int StdTerminal::waitKey() {
    for (;;) {
        if (auto k = pollKey()) return *k;
        if (ended_ && queue_.empty() && !unread_) raiseRuntimeError(RE_INPUT_ENDED);
        fill(-1); // blocks in poll until input arrives: no spinning
    }
}

void StdTerminal::write(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(out_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) raiseRuntimeError(RE_WRITE_FAILED);
        bytes.remove_prefix(static_cast<std::size_t>(n));
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
