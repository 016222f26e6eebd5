#include "console/terminal_tty.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <termios.h>
#include <unistd.h>

#include "console/console.h"

namespace gs {

namespace {

// Saved settings, reachable from signal handlers.
struct termios g_saved;
volatile std::sig_atomic_t g_active = 0;
int g_fd = -1, g_outFd = -1;
// Whether the line end goes to a terminal is settled before the handlers are installed:
// isatty may not be called from a signal handler.
volatile std::sig_atomic_t g_outIsTerminal = 0;
bool g_atexit = false;
// Ctrl-C, kill, a closed terminal, Ctrl-Backslash, and an abort from a broken invariant.
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
struct sigaction g_oldActions[kSignalCount];

void onSignal(int sig) {
    if (g_active) {
        tcsetattr(g_fd, TCSAFLUSH, &g_saved);
        g_active = 0;
        if (g_outIsTerminal) {
            ssize_t r = write(g_outFd, "\r\n", 2);
            (void)r;
        }
    }
    // End the program the way the signal would have: default action, signal raised again.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void restoreAtExit() { RawMode::restore(); }

int csiKey(char final, int param) {
    switch (final) {
    case 'A': return KEY_EXT + SC_UP;
    case 'B': return KEY_EXT + SC_DOWN;
    case 'C': return KEY_RIGHT;
    case 'D': return KEY_LEFT;
    case 'H': return KEY_HOME;
    case 'F': return KEY_END;
    case '~':
        switch (param) {
        case 1:
        case 7: return KEY_HOME;
        case 4:
        case 8: return KEY_END;
        case 2: return KEY_EXT + SC_INS;
        case 3: return KEY_EXT + SC_DEL;
        case 5: return KEY_EXT + SC_PGUP;
        case 6: return KEY_EXT + SC_PGDN;
        default: return KEY_UNKNOWN;
        }
    default: return KEY_UNKNOWN;
    }
}

} // namespace

RawMode::RawMode(int fd, int outFd) {
    if (!isatty(fd) || g_active) return;
    if (tcgetattr(fd, &g_saved) != 0) return;
    struct termios raw = g_saved;
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST); // the console writes its own CR LF
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    raw.c_lflag |= ISIG; // Ctrl-C still ends the game (and the handler restores the terminal)
    raw.c_cc[VSUSP] = _POSIX_VDISABLE; // Ctrl-Z reaches the console as a key, never suspends
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    g_fd = fd;
    g_outFd = outFd;
    g_outIsTerminal = outFd >= 0 && isatty(outFd);
    std::signal(SIGTSTP, SIG_IGN);
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sigaction(kSignals[i], &sa, &g_oldActions[i]);
    }
    if (!g_atexit) {
        std::atexit(restoreAtExit);
        g_atexit = true;
    }
    if (tcsetattr(fd, TCSAFLUSH, &raw) == 0) g_active = 1;
}

RawMode::~RawMode() {
    if (g_fd < 0) return;
    restore();
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &g_oldActions[i], nullptr);
    g_fd = -1;
}

bool RawMode::active() const { return g_active != 0; }

void RawMode::restore() {
    if (!g_active) return;
    tcsetattr(g_fd, TCSAFLUSH, &g_saved);
    g_active = 0;
}

int decodeTerminalKey(unsigned char first, const MoreBytes& more,
                      std::optional<unsigned char>& unread) {
    if (first == 13 || first == 10) return KEY_ENTER;
    if (first == 127 || first == 8) return KEY_BACKSPACE;
    if (first != 27) return first;
    auto next = more(ESC_SEQUENCE_MS);
    if (!next) return KEY_ESC; // nothing followed: the Esc key itself
    if (*next == '[') {
        int param = 0;
        bool firstParam = true;
        for (int count = 0; count < 16; ++count) {
            auto byte = more(ESC_SEQUENCE_MS);
            if (!byte) return KEY_UNKNOWN;
            if (*byte >= '0' && *byte <= '9') {
                // A long run of digits (garbage or a paste) must not overflow: any
                // number past the keys' own is a key the game does not know.
                if (firstParam && param < 1000) param = param * 10 + (*byte - '0');
            } else if (*byte == ';') {
                firstParam = false; // modifiers (Ctrl, Shift) do not change the key
            } else if (*byte >= 0x40 && *byte <= 0x7E) {
                return csiKey(static_cast<char>(*byte), param);
            }
        }
        return KEY_UNKNOWN;
    }
    if (*next == 'O') {
        auto byte = more(ESC_SEQUENCE_MS);
        if (!byte) return KEY_UNKNOWN;
        if (*byte == 'M') return KEY_ENTER; // keypad Enter in application mode
        if (*byte >= 'P' && *byte <= 'S') return KEY_EXT + SC_F1 + (*byte - 'P');
        return csiKey(static_cast<char>(*byte), 0);
    }
    // Esc followed by an ordinary key (Alt held, or typed quickly): the Esc, then that key.
    unread = *next;
    return KEY_ESC;
}

} // namespace gs
