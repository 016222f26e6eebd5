// The terminal backends: key decoding, pipe input and plain output, and a pseudo-terminal
// for raw mode, window size and the restore of the settings on every way out.
#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "console/terminal_std.h"
#include "system/runtime_error.h"

namespace gs {
namespace {

struct Decoded {
    int key;
    std::optional<unsigned char> unread;
    std::size_t left;
};

Decoded decode(const std::string& bytes) {
    std::deque<unsigned char> q(bytes.begin() + 1, bytes.end());
    MoreBytes more = [&](int) -> std::optional<unsigned char> {
        if (q.empty()) return std::nullopt; // nothing more within the time
        unsigned char b = q.front();
        q.pop_front();
        return b;
    };
    std::optional<unsigned char> unread;
    int k = decodeTerminalKey(static_cast<unsigned char>(bytes[0]), more, unread);
    return {k, unread, q.size()};
}

TEST(TerminalKeys, EscapeSequencesBecomeTheConsoleKeys) {
    const std::pair<std::string, int> cases[] = {
        {"\x1b", KEY_ESC},        {"\x1b[D", KEY_LEFT},  {"\x1b[C", KEY_RIGHT},
        {"\x1b[1~", KEY_HOME},    {"\x1bOH", KEY_HOME},  {"\x1b[F", KEY_END},
        {"\x1b[4~", KEY_END},     {"\x1bOM", KEY_ENTER}, {"\x1b[1;5D", KEY_LEFT},
        {"\x1b[A", KEY_EXT + 72}, {"\x1b[15~", KEY_EXT}, {"\x1b[", KEY_EXT},
        {"\x7f", KEY_BACKSPACE},  {"\r", KEY_ENTER},     {"\n", KEY_ENTER},
        {"\xe9", 0xe9},           {"\x1a", 26},
    };
    for (const auto& [bytes, key] : cases) {
        Decoded d = decode(bytes);
        EXPECT_EQ(d.key, key) << "sequence " << bytes.substr(1);
        EXPECT_EQ(d.left, 0u);
        EXPECT_FALSE(d.unread);
    }
    Decoded alt = decode("\x1bx"); // Esc then an ordinary key: both are kept
    EXPECT_EQ(alt.key, KEY_ESC);
    EXPECT_EQ(alt.unread, 'x');
}

struct Pipes {
    int in[2], out[2];
    Pipes() {
        EXPECT_EQ(pipe(in), 0);
        EXPECT_EQ(pipe(out), 0);
        fcntl(out[0], F_SETFL, O_NONBLOCK);
    }
    ~Pipes() {
        for (int fd : {in[0], in[1], out[0], out[1]})
            if (fd >= 0) close(fd);
    }
    void type(const std::string& s) {
        ASSERT_EQ(write(in[1], s.data(), s.size()), ssize_t(s.size()));
    }
    void endInput() {
        close(in[1]);
        in[1] = -1;
    }
    std::string output() {
        std::string s;
        char b[512];
        ssize_t n;
        while ((n = read(out[0], b, sizeof b)) > 0) s.append(b, static_cast<std::size_t>(n));
        return s;
    }
};

TEST(PipeTerminal, ByteKeysPlainOutputAndError100AtTheEnd) {
    Pipes p;
    StdTerminal t(p.in[0], p.out[1]);
    Console con(t);
    EXPECT_FALSE(t.isScreen());
    EXPECT_FALSE(t.pollKey()); // nothing typed yet: no wait, no key
    p.type("12 34\n1\r\n2\r\x1b[D\x7f");
    con.ClrScr();
    con.GotoXY(10, 5);
    con.WriteLn("Select menu point");
    i16 a, b;
    ASSERT_TRUE(con.ReadLn(a, b));
    EXPECT_EQ(a * 100 + b, 1234);
    EXPECT_EQ(p.output(), "Select menu point\n12 34\n"); // no control sequences
    // CR LF is one Enter, a lone CR or LF is one too; an escape sequence is plain bytes.
    std::vector<int> keys;
    for (int i = 0; i < 8; ++i) keys.push_back(t.waitKey());
    EXPECT_EQ(keys,
              (std::vector<int>{'1', KEY_ENTER, '2', KEY_ENTER, KEY_ESC, '[', 'D', KEY_BACKSPACE}));
    p.endInput();
    EXPECT_FALSE(t.pollKey());
    try {
        t.waitKey();
        FAIL() << "waitKey returned after the input ended";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.code, RE_INPUT_ENDED);
    }
}

struct Pty {
    int master = -1, slave = -1;
    Pty(int cols, int rows) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        EXPECT_EQ(grantpt(master), 0);
        EXPECT_EQ(unlockpt(master), 0);
        slave = open(ptsname(master), O_RDWR | O_NOCTTY);
        EXPECT_GE(slave, 0);
        struct winsize ws {};
        ws.ws_col = static_cast<unsigned short>(cols);
        ws.ws_row = static_cast<unsigned short>(rows);
        ioctl(slave, TIOCSWINSZ, &ws);
        fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~Pty() {
        close(slave);
        close(master);
    }
    struct termios mode() const {
        struct termios m {};
        tcgetattr(slave, &m);
        return m;
    }
    std::string drain() {
        std::string s;
        char b[512];
        ssize_t n;
        while ((n = read(master, b, sizeof b)) > 0) s.append(b, static_cast<std::size_t>(n));
        return s;
    }
};

TEST(TtyTerminal, RawModeWhileRunningAndRestoredAfterwards) {
    Pty pty(100, 30);
    ASSERT_TRUE(pty.mode().c_lflag & ECHO);
    {
        StdTerminal t(pty.slave, pty.slave);
        EXPECT_TRUE(t.inputIsTerminal());
        EXPECT_TRUE(t.isScreen());
        EXPECT_EQ(t.cols(), 100);
        EXPECT_EQ(t.rows(), 30);
        struct termios m = pty.mode();
        EXPECT_FALSE(m.c_lflag & ECHO);
        EXPECT_FALSE(m.c_lflag & ICANON);
        EXPECT_TRUE(m.c_lflag & ISIG);             // Ctrl-C still ends the game
        EXPECT_EQ(m.c_cc[VSUSP], _POSIX_VDISABLE); // Ctrl-Z never suspends it

        ASSERT_EQ(write(pty.master, "\x1b[Dz\x1a\r", 6), 6);
        EXPECT_EQ(t.waitKey(), KEY_LEFT);
        EXPECT_EQ(t.waitKey(), 'z');
        EXPECT_EQ(t.waitKey(), 26);
        EXPECT_EQ(t.waitKey(), KEY_ENTER);
        pty.drain();
        t.clear();
        t.moveCursor(7, 3);
        EXPECT_EQ(pty.drain(), "\x1b[H\x1b[2J\x1b[3;7H");
    }
    EXPECT_TRUE(pty.mode().c_lflag & ECHO);
    EXPECT_TRUE(pty.mode().c_lflag & ICANON);
}

TEST(TtyTerminal, SettingsComeBackWhenASignalEndsTheGame) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGABRT}) {
        Pty pty(80, 25);
        int plain[2];
        ASSERT_EQ(pipe(plain), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The line end the handler writes goes to a terminal only, a choice made
            // before the handler can run.
            StdTerminal t(pty.slave, sig == SIGHUP ? plain[1] : pty.slave);
            if (pty.mode().c_lflag & ECHO) _exit(3); // raw mode was not entered
            raise(sig);
            _exit(4); // the signal did not end the program
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), sig);
        EXPECT_TRUE(pty.mode().c_lflag & ECHO) << "signal " << sig;
        EXPECT_TRUE(pty.mode().c_lflag & ICANON) << "signal " << sig;
        close(plain[1]);
        char bytes[8];
        const ssize_t toPipe = read(plain[0], bytes, sizeof bytes);
        close(plain[0]);
        EXPECT_EQ(toPipe, 0) << "signal " << sig;
        // (The terminal has its own settings back: its output processing may add a CR.)
        const std::string shown = pty.drain();
        EXPECT_EQ(shown.find('\n') != std::string::npos, sig != SIGHUP) << "signal " << sig;
    }
}

} // namespace
} // namespace gs
