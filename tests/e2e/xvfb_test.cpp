// The game with a real SDL window on a virtual X server (Xvfb): the window's title, and a
// screenshot of it (xwd) while the game waits for an answer, compared pixel by pixel with
// the --snapshots picture the game wrote at that same moment.
#include <gtest/gtest.h>

#include "tests/support/run_game.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "demo/demo_file.h"
#include "frontend/png/snapshots.h"
#include "frontend/sdl/window.h"
#include "picture/picture_size.h"
#include "picture/picture_view.h"
#include "program/options.h"
#include "state/state.h"
#include "state/texts.h"
#include "state/units.h"
#include "system/runtime_error.h"

namespace gs {
namespace {

using namespace gs::test;

namespace fs = std::filesystem;

constexpr auto TIMEOUT = std::chrono::seconds(60);
constexpr const char* TITLE = "Graph window application";

bool poll(const std::function<bool()>& ok) {
    const auto end = std::chrono::steady_clock::now() + TIMEOUT;
    while (std::chrono::steady_clock::now() < end) {
        if (ok()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

/// A process started by the test and ended by it, by its own id.
struct Child {
    pid_t pid = -1;
    int status = -1;
    bool exited() {
        if (pid < 0) return true;
        int st = 0;
        if (waitpid(pid, &st, WNOHANG) == pid) {
            status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            pid = -1;
            return true;
        }
        return false;
    }
    void stop() {
        if (pid < 0) return;
        kill(pid, SIGTERM);
        if (!poll([&] { return exited(); })) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }
    ~Child() { stop(); }
};

/// An X server on a display it chooses itself; its number is read from -displayfd.
struct VirtualScreen {
    Child server;
    std::string display;
    std::string size = "1024x768";

    bool start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        server.pid = fork();
        if (server.pid == 0) {
            close(fds[0]);
            int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", (size + "x24").c_str(),
                   "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string num;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') num += c;
        close(fds[0]);
        if (num.empty()) return false;
        display = ":" + num;
        return true;
    }
};

/// The game, its keyboard a pipe the test writes to, its output in a file.
struct GameProcess {
    Child proc;
    int keys = -1;
    fs::path out;
    /// Standard descriptors the game is started without, as some launchers do.
    std::vector<int> closed;
    /// Options after the usual ones.
    std::vector<std::string> more;
    /// Started with SIGINT ignored, as some launchers start programs.
    bool ignoreInterrupt = false;
    /// --fast; without it the game keeps its real pauses.
    bool fast = true;

    /// `size` is the --size value; empty lets the game size its window from the desktop.
    void start(const std::string& display, const fs::path& snaps, const fs::path& outFile,
               const std::string& size = {}) {
        out = outFile;
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::vector<std::string> args = {GS_BINARY, "--seed", "7", "--snapshots", snaps.string()};
        if (fast) args.insert(args.begin() + 1, "--fast");
        if (!size.empty()) args.insert(args.end(), {"--size", size});
        args.insert(args.end(), more.begin(), more.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        proc.pid = fork();
        if (proc.pid == 0) {
            close(fds[1]);
            dup2(fds[0], 0);
            close(fds[0]);
            int o = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(o, 1);
            dup2(o, 2);
            close(o);
            for (int fd : closed) close(fd);
            if (ignoreInterrupt) signal(SIGINT, SIG_IGN);
            if (chdir(GS_SOURCE_DIR) != 0) _exit(126);
            setenv("DISPLAY", display.c_str(), 1);
            setenv("SDL_VIDEODRIVER", "x11", 1);
            // The X, GL and D-Bus libraries keep memory to the end of the process; that is
            // theirs, and the suppressions name them. A leak of the game's own still fails.
            // The preload keeps the GL libraries loaded to the end; it overrides nothing the
            // sanitizer does, so the sanitizer need not be the first library loaded.
            setenv("LD_PRELOAD", GS_KEEP_LIBRARIES, 1);
            setenv("ASAN_OPTIONS", "detect_leaks=1:verify_asan_link_order=0", 1);
            setenv("LSAN_OPTIONS",
                   "suppressions=" GS_SOURCE_DIR
                   "/tests/lsan/suppressions.txt:print_suppressions=0",
                   1);
            execv(GS_BINARY, argv.data());
            _exit(127);
        }
        close(fds[0]);
        keys = fds[1];
    }
    void type(const std::string& s) const {
        ASSERT_EQ(write(keys, s.data(), s.size()), static_cast<ssize_t>(s.size()));
    }
    void endInput() {
        if (keys >= 0) close(keys);
        keys = -1;
    }
    ~GameProcess() { endInput(); }
};

/// A window's picture from an xwd file: 24-bit colour, ZPixmap.
struct Shot {
    int w = 0, h = 0;
    std::vector<std::uint32_t> rgb; ///< 0xRRGGBB
};

std::uint32_t be32(const std::string& d, std::size_t at) {
    auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + i]));
    };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

int shiftOf(std::uint32_t mask) {
    int s = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++s;
    return s;
}

bool readXwd(const fs::path& p, Shot& s, std::string& err) {
    const std::string d = slurp(p);
    if (d.size() < 100) return err = "short xwd file", false;
    const std::uint32_t headerSize = be32(d, 0), format = be32(d, 8), w = be32(d, 16),
                        h = be32(d, 20), byteOrder = be32(d, 28), bpp = be32(d, 44),
                        bpl = be32(d, 48), rmask = be32(d, 56), gmask = be32(d, 60),
                        bmask = be32(d, 64), ncolors = be32(d, 76);
    if (format != 2 || (bpp != 32 && bpp != 24)) return err = "not a 24-bit ZPixmap", false;
    const std::size_t data = headerSize + 12ull * ncolors;
    if (d.size() < data + static_cast<std::size_t>(bpl) * h)
        return err = "truncated xwd file", false;
    s.w = static_cast<int>(w);
    s.h = static_cast<int>(h);
    s.rgb.assign(static_cast<std::size_t>(w) * h, 0);
    const int bytes = static_cast<int>(bpp / 8);
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x) {
            const std::size_t at =
                data + static_cast<std::size_t>(y) * bpl + static_cast<std::size_t>(x) * bytes;
            std::uint32_t v = 0;
            for (int i = 0; i < bytes; ++i) {
                const std::uint32_t b = static_cast<unsigned char>(d[at + i]);
                v |= byteOrder == 0 ? b << (8 * i) : b << (8 * (bytes - 1 - i));
            }
            const std::uint32_t r = (v & rmask) >> shiftOf(rmask),
                                g = (v & gmask) >> shiftOf(gmask),
                                bl = (v & bmask) >> shiftOf(bmask);
            s.rgb[static_cast<std::size_t>(y) * w + x] = r << 16 | g << 8 | bl;
        }
    return true;
}

struct Snapshot {
    int w = 0, h = 0;
    std::vector<std::uint8_t> px;
    Palette pal{};
};

/// The newest snapshot file, read once it is complete.
bool latestSnapshot(const fs::path& dir, Snapshot& s, fs::path* name = nullptr) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) files.push_back(e.path());
    if (files.empty()) return false;
    std::sort(files.begin(), files.end());
    std::string err;
    if (!readIndexedPng(files.back().string(), s.w, s.h, s.px, s.pal, err)) return false;
    if (name) *name = files.back();
    return true;
}

/// Pixels of the window that differ from the snapshot (its palette colours).
long differences(const Shot& win, const Snapshot& s, std::string& first) {
    if (win.w != s.w || win.h != s.h) {
        first = "window " + std::to_string(win.w) + "x" + std::to_string(win.h) + ", snapshot " +
                std::to_string(s.w) + "x" + std::to_string(s.h);
        return -1;
    }
    long n = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const auto& c = s.pal[s.px[static_cast<std::size_t>(y) * s.w + x]];
            const std::uint32_t want = std::uint32_t(c[0]) << 16 | std::uint32_t(c[1]) << 8 | c[2];
            if (win.rgb[static_cast<std::size_t>(y) * s.w + x] != want && n++ == 0) {
                char b[96];
                std::snprintf(b, sizeof b, "first at (%d, %d): window %06X, snapshot %06X", x, y,
                              win.rgb[static_cast<std::size_t>(y) * s.w + x], want);
                first = b;
            }
        }
    return n;
}

class Xvfb : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xwd", "xwininfo", "xprop", "xdotool"})
            if (!haveTool(tool))
                GTEST_SKIP() << tool << " is not installed (make deps installs it)";
        dir_ = fs::temp_directory_path() / ("gs_xvfb_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ASSERT_TRUE(x_.start()) << "Xvfb did not start";
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string x(const std::string& cmd, int* st = nullptr) {
        return shell(cmd + " -display " + x_.display + " 2>&1", st);
    }
    /// The game's window id, once it is on the screen; empty while there is none. (The
    /// window may be made twice before it is shown, when its renderer needs another kind
    /// of window: only the shown one counts.)
    std::string windowId() {
        int st = -1;
        std::string info = x("xwininfo -name '" + std::string(TITLE) + "'", &st);
        auto p = info.find("Window id: ");
        if (st != 0 || p == std::string::npos || info.find("IsViewable") == std::string::npos)
            return {};
        return info.substr(p + 11, info.find(' ', p + 11) - (p + 11));
    }
    /// Screenshots the window until it shows the newest snapshot, or the time is up.
    void expectWindowShowsSnapshot(const char* moment) {
        Snapshot snap;
        long diff = -1;
        std::string first = "no snapshot";
        const fs::path xwd = dir_ / "window.xwd";
        // Both are read again until they agree: the last snapshot of the wait may still be
        // on its way to the disk, and the window shows a new picture within a frame.
        poll([&] {
            if (!latestSnapshot(dir_ / "snaps", snap)) return false;
            const std::string id = windowId();
            if (id.empty()) return first = "no window", false;
            int st = -1;
            x("xwd -silent -id " + id + " -out '" + xwd.string() + "'", &st);
            if (st != 0) first = "xwd failed";
            Shot win;
            std::string err;
            if (st != 0 || !readXwd(xwd, win, err)) return false;
            diff = differences(win, snap, first);
            return diff == 0;
        });
        EXPECT_EQ(diff, 0) << moment << ": " << first << "\ngame output:\n"
                           << slurp(dir_ / "out.txt");
        // The picture is the battlefield, not an empty window.
        long lit = 0;
        for (auto p : snap.px) lit += p != 0;
        EXPECT_GT(lit, 1000) << moment;
    }

    VirtualScreen x_;
    fs::path dir_;
};

TEST_F(Xvfb, TheWindowShowsTheSnapshotPictureWhileTheGameWaits) {
    GameProcess game;
    game.start(x_.display, dir_ / "snaps", dir_ / "out.txt", "800x600");
    game.type("1\n2\n1\n"); // Play, Custom level, level 1

    std::string id;
    ASSERT_TRUE(poll([&] { return !(id = windowId()).empty(); })) << slurp(dir_ / "out.txt");
    // The title, both as the old window-manager name and as the UTF-8 one.
    std::istringstream props(x("xprop -id " + id + " WM_NAME _NET_WM_NAME"));
    int titles = 0;
    for (std::string line; std::getline(props, line);) {
        const bool named = line.rfind("WM_NAME(", 0) == 0 || line.rfind("_NET_WM_NAME(", 0) == 0;
        EXPECT_TRUE(named) << line;
        if (named && line.size() > 2 &&
            line.substr(line.find(" = ")) == std::string(" = \"") + TITLE + "\"")
            ++titles;
    }
    EXPECT_EQ(titles, 2) << "game output:\n" << slurp(dir_ / "out.txt");

    // The battle waits for a key with the whole field drawn.
    expectWindowShowsSnapshot("waiting for the first key");

    // One shot at the first target; the game then waits at the ammunition question with
    // the explosion and the enemy phase left on the picture.
    game.type("\n1\n22 32\n");
    ASSERT_TRUE(poll([&] {
        const std::string out = slurp(dir_ / "out.txt");
        std::size_t n = 0;
        for (auto p = out.find("Select a type of the ammunition"); p != std::string::npos;
             p = out.find("Select a type of the ammunition", p + 1))
            ++n;
        return n >= 2;
    })) << slurp(dir_ / "out.txt");
    expectWindowShowsSnapshot("waiting for the second answer");

    // A shell on the gun's own wheel loses the level; N ends the program and the window.
    game.type("1\n0 0\nn\n");
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
    EXPECT_EQ(game.proc.status, 0) << slurp(dir_ / "out.txt");
    EXPECT_TRUE(windowId().empty()) << "the window outlived the game";
}

TEST_F(Xvfb, AWindowSizedFromTheDesktopIsWhollyOnTheScreen) {
    // With no size given the picture takes the whole 1024 x 768 screen (no window manager
    // here, so no frame and no panel); the window must stand where all of it shows.
    GameProcess game;
    game.start(x_.display, dir_ / "snaps", dir_ / "out.txt");
    game.type("1\n2\n1\n");
    std::string id;
    ASSERT_TRUE(poll([&] { return !(id = windowId()).empty(); })) << slurp(dir_ / "out.txt");
    expectWindowShowsSnapshot("a picture as large as the screen");
    Snapshot snap;
    ASSERT_TRUE(latestSnapshot(dir_ / "snaps", snap));
    EXPECT_EQ(snap.w, 1024);
    EXPECT_EQ(snap.h, 768);
    game.endInput(); // the input ends: run-time error 100, and the window goes with the game
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
    EXPECT_EQ(game.proc.status, 100) << slurp(dir_ / "out.txt");
}

TEST_F(Xvfb, AClosedStandardDescriptorIsNotTakenByTheWindow) {
    // Started with standard input closed, the game must not take the display connection
    // for its keyboard: a demo opens a battle, its keys run out, and the keyboard's input
    // has ended at once (error 100), as a pipe's end does.
    Demo opening;
    opening.program = programVersion();
    opening.seed = 7;
    for (char c : std::string("1\n2\n1\n")) opening.keys.push_back(c == '\n' ? KEY_ENTER : c);
    std::string why;
    ASSERT_TRUE(saveDemo((dir_ / "opening.demo").string(), opening, why)) << why;
    GameProcess noInput;
    noInput.closed = {0};
    noInput.more = {"--replay", (dir_ / "opening.demo").string()};
    noInput.start(x_.display, dir_ / "snaps", dir_ / "out.txt");
    ASSERT_TRUE(poll([&] { return noInput.proc.exited(); })) << slurp(dir_ / "out.txt");
    EXPECT_EQ(noInput.proc.status, 100) << slurp(dir_ / "out.txt");
    EXPECT_EQ(count(slurp(dir_ / "out.txt"), "Runtime error 100 at $"), 1);

    // With standard error closed, a battle's window is open when the input ends: the
    // report goes nowhere (not into the display connection) and the game ends.
    GameProcess noErrors;
    noErrors.closed = {2};
    noErrors.start(x_.display, dir_ / "snaps2", dir_ / "out2.txt", "640x480");
    noErrors.type("1\n2\n1\n");
    ASSERT_TRUE(poll([&] { return !windowId().empty(); })) << slurp(dir_ / "out2.txt");
    noErrors.endInput();
    ASSERT_TRUE(poll([&] { return noErrors.proc.exited(); })) << slurp(dir_ / "out2.txt");
    EXPECT_EQ(noErrors.proc.status, 100) << slurp(dir_ / "out2.txt");
    EXPECT_EQ(slurp(dir_ / "out2.txt").find("Runtime error"), std::string::npos);
}

// ---- The one window (--console window) and the picture shown to fit ----

/// Pixels of the window's `shown` area that differ from the snapshot pixels they stand
/// for: at a whole factor the one pixel of each block, shrunk the highest colour index of
/// the span each shown pixel covers.
long shownDifferences(const Shot& win, PixelRect shown, const Snapshot& s, std::string& first) {
    if (shown.empty() || shown.x + shown.width > win.w || shown.y + shown.height > win.h) {
        first = "the picture's place lies outside the " + std::to_string(win.w) + "x" +
                std::to_string(win.h) + " window";
        return -1;
    }
    auto span = [](int at, int side, int shownSide) {
        const int from = static_cast<int>(static_cast<long long>(at) * side / shownSide);
        const int to = static_cast<int>(static_cast<long long>(at + 1) * side / shownSide);
        return std::pair{from, std::max(from + 1, to)};
    };
    long n = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x) {
            const auto [left, right] = span(x, s.w, shown.width);
            const auto [top, bottom] = span(y, s.h, shown.height);
            std::uint8_t index = 0;
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx)
                    index = std::max(index, s.px[static_cast<std::size_t>(sy) * s.w + sx]);
            const auto& c = s.pal[index];
            const std::uint32_t want = std::uint32_t(c[0]) << 16 | std::uint32_t(c[1]) << 8 | c[2];
            const std::uint32_t got =
                win.rgb[static_cast<std::size_t>(shown.y + y) * win.w + shown.x + x];
            if (got != want && n++ == 0) {
                char b[96];
                std::snprintf(b, sizeof b, "first at (%d, %d): window %06X, snapshot %06X",
                              shown.x + x, shown.y + y, got, want);
                first = b;
            }
        }
    return n;
}

/// A virtual screen of its own size, the game's window on it by title, keys typed into it.
class ShownScreen {
public:
    ShownScreen(const std::string& size, const fs::path& dir) : dir_(dir) { x_.size = size; }
    bool start() { return x_.start(); }
    /// The X server goes, as when the desktop's session ends under the game.
    void stopServer() { x_.server.stop(); }
    const std::string& display() const { return x_.display; }

    std::string x(const std::string& cmd, int* st = nullptr) {
        return shell("DISPLAY=" + x_.display + " " + cmd + " 2>&1", st);
    }
    std::string windowId(const std::string& title) {
        int st = -1;
        std::string info = x("xwininfo -display " + x_.display + " -name '" + title + "'", &st);
        auto p = info.find("Window id: ");
        if (st != 0 || p == std::string::npos || info.find("IsViewable") == std::string::npos)
            return {};
        return info.substr(p + 11, info.find(' ', p + 11) - (p + 11));
    }
    /// Types `text` into the window as a player would: the focus on it, then each line's
    /// characters and Enter for each line end.
    void type(const std::string& id, const std::string& text) {
        x("xdotool windowfocus --sync " + id);
        std::string chars;
        auto flush = [&] {
            if (!chars.empty()) x("xdotool type --delay 1 -- '" + chars + "'");
            chars.clear();
        };
        for (char c : text) {
            if (c != '\n') {
                chars += c;
                continue;
            }
            flush();
            x("xdotool key Return");
        }
        flush();
    }
    bool shot(const std::string& id, Shot& win) {
        const fs::path xwd = dir_ / "window.xwd";
        int st = -1;
        x("xwd -silent -display " + x_.display + " -id " + id + " -out '" + xwd.string() + "'",
          &st);
        std::string err;
        return st == 0 && readXwd(xwd, win, err);
    }
    /// Screenshots the window until the picture area `area` (a function of the window's
    /// size) shows the newest snapshot fitted into it, and there are at least `count`.
    void expectShowsSnapshot(const std::string& id, std::size_t count,
                             const std::function<PixelRect(int w, int h)>& area,
                             const std::string& moment) {
        long diff = -1;
        std::string first = "no snapshot";
        poll([&] {
            std::error_code ec;
            const auto n = static_cast<std::size_t>(std::distance(
                fs::directory_iterator(dir_ / "snaps", ec), fs::directory_iterator()));
            Snapshot snap;
            if (n < count || !latestSnapshot(dir_ / "snaps", snap)) return false;
            Shot win;
            if (!shot(id, win)) return first = "no screenshot", false;
            const PixelRect a = area(win.w, win.h);
            PixelRect shown = fitPicture(snap.w, snap.h, a.width, a.height);
            shown.x += a.x;
            shown.y += a.y;
            diff = shownDifferences(win, shown, snap, first);
            return diff == 0;
        });
        EXPECT_EQ(diff, 0) << moment << ": " << first << "\ngame output:\n"
                           << slurp(dir_ / "out.txt");
    }

private:
    VirtualScreen x_;
    fs::path dir_;
};

constexpr const char* ONE_WINDOW = "Gorvenshale";

/// A recorded game in the one window on `screen`, up to its first battle's picture
/// (snapshot 1 in `dir`/snaps, the demo `dir`/kept.demo); the window's id.
void recordFirstBattleInOneWindow(ShownScreen& screen, GameProcess& game, const fs::path& dir,
                                  std::string& id) {
    game.more = {"--console", "window", "--record", (dir / "kept.demo").string()};
    game.start(screen.display(), dir / "snaps", dir / "out.txt", "640x400");
    ASSERT_TRUE(poll([&] { return !(id = screen.windowId(ONE_WINDOW)).empty(); }));
    screen.type(id, "1\n2\n1\n");
    ASSERT_TRUE(poll([&] { return fs::exists(dir / "snaps/0001.png"); })) << slurp(dir / "out.txt");
}

/// The pane's band at the window's bottom: 20 rows of 16 pixels on these screens.
constexpr int PANE_HEIGHT = 320;

TEST_F(Xvfb, OneWindowAnswersAboutAndQuitTypedIntoIt) {
    ShownScreen screen("1024x768", dir_);
    ASSERT_TRUE(screen.start());
    GameProcess game;
    game.more = {"--console", "window"};
    game.start(screen.display(), dir_ / "snaps", dir_ / "out.txt", "640x400");
    std::string id;
    ASSERT_TRUE(poll([&] { return !(id = screen.windowId(ONE_WINDOW)).empty(); }))
        << slurp(dir_ / "out.txt");
    // About; a key (it stays pending, so Enter: an empty answer); Quit.
    screen.type(id, "2\n\n3\n");
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
    EXPECT_EQ(game.proc.status, 0) << slurp(dir_ / "out.txt");
    // Nothing went to the terminal: the console was the window's pane.
    EXPECT_EQ(slurp(dir_ / "out.txt"), "");
}

TEST_F(Xvfb, OneWindowEndsAtCtrlCAndKeepsARunTimeErrorOnScreen) {
    ShownScreen screen("1024x768", dir_);
    ASSERT_TRUE(screen.start());
    {
        // Ctrl+C in the window in the middle of a battle: the game ends as from a terminal's
        // Ctrl+C, and the recording holds the answers given.
        GameProcess game;
        std::string id;
        ASSERT_NO_FATAL_FAILURE(recordFirstBattleInOneWindow(screen, game, dir_, id));
        screen.x("xdotool key ctrl+c");
        ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
        EXPECT_EQ(game.proc.status, 128 + SIGINT) << slurp(dir_ / "out.txt");
        std::string why;
        const std::optional<Demo> kept = loadDemo((dir_ / "kept.demo").string(), why);
        ASSERT_TRUE(kept) << why;
        EXPECT_EQ(kept->keys.size(), 6u);
    }
    {
        // A level directory that is not there: the report waits in the pane for a key,
        // and goes to standard error as always.
        GameProcess game;
        game.more = {"--console", "window", "--levels", (dir_ / "nowhere").string()};
        game.start(screen.display(), dir_ / "snaps2", dir_ / "out2.txt", "640x400");
        std::string id;
        ASSERT_TRUE(poll([&] { return !(id = screen.windowId(ONE_WINDOW)).empty(); }));
        screen.type(id, "1\n1\n"); // Play, Campaign
        ASSERT_TRUE(poll(
            [&] { return slurp(dir_ / "out2.txt").find("Runtime error") != std::string::npos; }));
        EXPECT_FALSE(game.proc.exited()) << "the window closed before the report was read";
        screen.type(id, "\n");
        ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out2.txt");
        EXPECT_EQ(game.proc.status, 3) << slurp(dir_ / "out2.txt");
    }
}

TEST_F(Xvfb, OneWindowBringsBackAnEarlierAnswerWithUp) {
    ShownScreen screen("1024x768", dir_);
    ASSERT_TRUE(screen.start());
    // Only level 1 is there: "2" would be no level, an ignored Up an empty line; only the
    // main menu's "1", two answers back, starts the battle whose picture is kept.
    fs::create_directories(dir_ / "levels");
    fs::copy_file(fs::path(GS_SOURCE_DIR) / "level" / "1.txt", dir_ / "levels" / "1.txt");
    GameProcess game;
    game.more = {"--console", "window",
                 "--levels",  (dir_ / "levels").string(),
                 "--record",  (dir_ / "up.demo").string()};
    game.start(screen.display(), dir_ / "snaps", dir_ / "out.txt", "640x400");
    std::string id;
    ASSERT_TRUE(poll([&] { return !(id = screen.windowId(ONE_WINDOW)).empty(); }));
    screen.type(id, "1\n2\n");
    screen.x("xdotool key Up Up Return");
    ASSERT_TRUE(poll([&] { return fs::exists(dir_ / "snaps/0001.png"); }))
        << slurp(dir_ / "out.txt");
    screen.x("xdotool key ctrl+c");
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
    // The recording keeps the keys as pressed, so that its replay recalls the same answer.
    std::string why;
    const std::optional<Demo> kept = loadDemo((dir_ / "up.demo").string(), why);
    ASSERT_TRUE(kept) << why;
    EXPECT_EQ(kept->keys,
              (std::vector<int>{'1', KEY_ENTER, '2', KEY_ENTER, KEY_UP, KEY_UP, KEY_ENTER}));
}

TEST_F(Xvfb, OneWindowEndsAtCtrlCEvenWithInterruptIgnored) {
    // Some launchers start programs with SIGINT ignored: the window's Ctrl+C still ends the
    // game as documented, with the recording kept and no run-time error.
    ShownScreen screen("1024x768", dir_);
    ASSERT_TRUE(screen.start());
    GameProcess game;
    game.ignoreInterrupt = true;
    std::string id;
    ASSERT_NO_FATAL_FAILURE(recordFirstBattleInOneWindow(screen, game, dir_, id));
    screen.x("xdotool key ctrl+c");
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
    EXPECT_EQ(game.proc.status, 128 + SIGINT) << slurp(dir_ / "out.txt");
    EXPECT_EQ(slurp(dir_ / "out.txt"), "");
    std::string why;
    const std::optional<Demo> kept = loadDemo((dir_ / "kept.demo").string(), why);
    ASSERT_TRUE(kept) << why;
    EXPECT_EQ(kept->keys.size(), 6u);
}

TEST_F(Xvfb, OneWindowLosingTheDisplayEndsTheGameOnceWithOneLine) {
    ShownScreen screen("1024x768", dir_);
    ASSERT_TRUE(screen.start());
    GameProcess game;
    std::string id;
    ASSERT_NO_FATAL_FAILURE(recordFirstBattleInOneWindow(screen, game, dir_, id));
    screen.stopServer();
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
    EXPECT_EQ(game.proc.status, 1) << slurp(dir_ / "out.txt");
    EXPECT_EQ(slurp(dir_ / "out.txt"), std::string(text::DISPLAY_LOST) + "\n");
    std::string why;
    const std::optional<Demo> kept = loadDemo((dir_ / "kept.demo").string(), why);
    ASSERT_TRUE(kept) << why;
    EXPECT_EQ(kept->keys.size(), 6u);
}

TEST_F(Xvfb, BesideATerminalLosingTheDisplayEndsTheGameAtItsNextDrawing) {
    // The game waits at the terminal, which the window cannot wake: the next answer's
    // drawing ends it, once, with one line.
    GameProcess game;
    game.start(x_.display, dir_ / "snaps", dir_ / "out.txt", "640x400");
    game.type("1\n2\n1\n");
    ASSERT_TRUE(poll([&] { return fs::exists(dir_ / "snaps/0001.png"); }));
    x_.server.stop();
    game.type("\n1\n22 32\n");
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
    EXPECT_EQ(game.proc.status, 1) << slurp(dir_ / "out.txt");
    const std::string out = slurp(dir_ / "out.txt");
    EXPECT_NE(out.find(std::string(text::DISPLAY_LOST) + "\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Runtime error"), std::string::npos) << out;
    EXPECT_EQ(out.find("X connection"), std::string::npos) << out;
    EXPECT_EQ(out.find("XIO"), std::string::npos) << out;
}

TEST_F(Xvfb, ARecordingKeepsOnePictureSizeWhenTheWindowIsResizedBetweenBattles) {
    ShownScreen screen("1024x768", dir_);
    ASSERT_TRUE(screen.start());
    GameProcess game;
    const fs::path demo = dir_ / "resized.demo";
    game.more = {"--console", "window", "--record", demo.string()};
    game.start(screen.display(), dir_ / "snaps", dir_ / "out.txt");
    std::string id;
    ASSERT_TRUE(poll([&] { return !(id = screen.windowId(ONE_WINDOW)).empty(); }));
    std::error_code ec;
    auto count = [&](const fs::path& d) {
        return std::distance(fs::directory_iterator(d, ec), fs::directory_iterator());
    };
    // Level 1 won, back at the menu (as many pictures as the same game headless shows);
    // the window made narrower; level 1 again.
    const std::string won = "1\n2\n1\n\n1\n22 32\n1\n27 38\n1\n31 42\n1\n35 40\n1\n40 38\n";
    runGame({"--headless", "--fast", "--seed", "7", "--snapshots", (dir_ / "headless").string()},
            won + "3\n");
    const auto firstBattle = count(dir_ / "headless");
    ASSERT_GT(firstBattle, 2);
    screen.type(id, won);
    ASSERT_TRUE(poll([&] { return count(dir_ / "snaps") >= firstBattle; }));
    screen.x("xdotool windowsize --sync " + id + " 900 700");
    screen.type(id, "1\n2\n1\n");
    ASSERT_TRUE(poll([&] { return count(dir_ / "snaps") > firstBattle; }));
    screen.x("xdotool key ctrl+c");
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
    // The replay shows every picture the game showed.
    runGame({"--headless", "--fast", "--replay", demo.string(), "--snapshots",
             (dir_ / "replayed").string()},
            "");
    const auto shown = count(dir_ / "snaps");
    ASSERT_GT(shown, firstBattle);
    for (const auto& e : fs::directory_iterator(dir_ / "snaps")) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(slurp(dir_ / "replayed" / name) == slurp(e.path())) << name << " differs";
    }
}

TEST_F(Xvfb, RealTimeShotsInBothConsolesShowTheirLastPicture) {
    // The window thread and the game at the game's own pace: a shell's flight in real time
    // beside a terminal, then in the one window, each ending with the picture on screen.
    {
        GameProcess game;
        game.fast = false;
        game.start(x_.display, dir_ / "snaps", dir_ / "out.txt", "640x400");
        game.type("1\n2\n1\n\n1\n22 32\n");
        ASSERT_TRUE(poll([&] { return fs::exists(dir_ / "snaps/0004.png"); }));
        expectWindowShowsSnapshot("beside a terminal, after a real-time shot");
        game.endInput();
        ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out.txt");
        EXPECT_EQ(game.proc.status, RE_INPUT_ENDED) << slurp(dir_ / "out.txt");
    }
    fs::remove_all(dir_ / "snaps");
    ShownScreen screen("1024x768", dir_);
    ASSERT_TRUE(screen.start());
    GameProcess game;
    game.fast = false;
    game.more = {"--console", "window"};
    game.start(screen.display(), dir_ / "snaps", dir_ / "out2.txt", "640x400");
    std::string id;
    ASSERT_TRUE(poll([&] { return !(id = screen.windowId(ONE_WINDOW)).empty(); }));
    screen.type(id, "1\n2\n1\n\n1\n22 32\n");
    ASSERT_TRUE(poll([&] { return fs::exists(dir_ / "snaps/0004.png"); }));
    screen.expectShowsSnapshot(
        id, 4,
        [](int w, int h) {
            return PixelRect{0, 0, w, h - PANE_HEIGHT};
        },
        "in the one window, after a real-time shot");
    screen.x("xdotool key ctrl+c");
    ASSERT_TRUE(poll([&] { return game.proc.exited(); })) << slurp(dir_ / "out2.txt");
    EXPECT_EQ(game.proc.status, 128 + SIGINT) << slurp(dir_ / "out2.txt");
}

TEST_F(Xvfb, OneWindowShowsTheSnapshotPictureAtEachScale) {
    for (int scale : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        fs::remove_all(dir_ / "snaps");
        ShownScreen screen("1280x1024", dir_);
        ASSERT_TRUE(screen.start());
        GameProcess game;
        game.more = {"--console", "window", "--scale", std::to_string(scale)};
        game.start(screen.display(), dir_ / "snaps", dir_ / "out.txt", "480x300");
        std::string id;
        ASSERT_TRUE(poll([&] { return !(id = screen.windowId(ONE_WINDOW)).empty(); }))
            << slurp(dir_ / "out.txt");
        // The picture's area is all above the pane; the picture fills it by the scale.
        auto area = [&](int w, int h) {
            EXPECT_EQ(h, 300 * scale + PANE_HEIGHT);
            return PixelRect{0, 0, w, h - PANE_HEIGHT};
        };
        screen.type(id, "1\n2\n1\n"); // Play, Custom level, level 1
        screen.expectShowsSnapshot(id, 1, area, "waiting for the first key");
        // One shot at the first target; the game waits at the ammunition question again.
        screen.type(id, "\n1\n22 32\n");
        screen.expectShowsSnapshot(id, 4, area, "waiting for the second answer");
        // The same size, seed and keys give the same pictures as with the console in the
        // terminal.
        const fs::path headless = dir_ / "headless";
        fs::remove_all(headless);
        runGame({"--headless", "--fast", "--seed", "7", "--size", "480x300", "--snapshots",
                 headless.string()},
                "1\n2\n1\n\n1\n22 32\n");
        for (const char* name : {"0001.png", "0002.png", "0003.png", "0004.png"}) {
            const std::string picture = slurp(headless / name);
            EXPECT_FALSE(picture.empty()) << name;
            EXPECT_EQ(slurp(dir_ / "snaps" / name), picture) << name;
        }
        if (scale == 1) {
            // The player makes the window larger: the same picture, shown whole in the
            // new area at once.
            screen.x("xdotool windowmove " + id + " 0 0 windowsize --sync " + id + " 1100 1000");
            screen.expectShowsSnapshot(
                id, 4,
                [](int w, int h) {
                    return PixelRect{0, 0, w, h - PANE_HEIGHT};
                },
                "after the window grew");
        }
        game.proc.stop();
    }
}

/// A shipped level's units: their x and type codes, as the level file places them.
std::vector<std::pair<int, int>> levelUnits(int level) {
    std::ifstream in(std::string(GS_SOURCE_DIR) + "/level/" + std::to_string(level) + ".txt");
    int units = 0, gunX = 0, stocks = 0, gunHp = 0;
    in >> units >> gunX >> stocks >> stocks >> stocks >> gunHp;
    std::vector<std::pair<int, int>> placed(static_cast<std::size_t>(std::max(units, 0)));
    for (auto& [x, type] : placed) in >> x >> type;
    return in ? placed : std::vector<std::pair<int, int>>{};
}

TEST_F(Xvfb, OneWindowShowsTheWholeBattleOnEachScreen) {
    // Without --size or --scale, on the screens players have: the picture holds level 12's
    // whole army, the counters stand under the health bars, and a dense screen shows it
    // enlarged by the factor that fits.
    const auto units = levelUnits(12);
    ASSERT_EQ(units.size(), 20u);
    struct Screen {
        const char* size;
        int scale; ///< the factor it is shown at; 0: shrunk
    };
    for (const Screen s :
         {Screen{"1366x768", 0}, {"1280x720", 0}, {"1920x1080", 1}, {"3840x2160", 2}}) {
        SCOPED_TRACE(s.size);
        fs::remove_all(dir_ / "snaps");
        ShownScreen screen(s.size, dir_);
        ASSERT_TRUE(screen.start());
        GameProcess game;
        game.more = {"--console", "window"};
        game.start(screen.display(), dir_ / "snaps", dir_ / "out.txt");
        std::string id;
        ASSERT_TRUE(poll([&] { return !(id = screen.windowId(ONE_WINDOW)).empty(); }))
            << slurp(dir_ / "out.txt");
        PixelRect area;
        const auto pictureArea = [&](int w, int h) {
            return area = oneWindowLayout(w, h, PANE_COLS, PANE_ROWS).picture;
        };
        screen.type(id, "1\n2\n12\n"); // Play, Custom level, level 12
        screen.expectShowsSnapshot(id, 1, pictureArea, "waiting for the first key");
        Snapshot snap;
        ASSERT_TRUE(latestSnapshot(dir_ / "snaps", snap));
        EXPECT_GE(snap.w, BATTLEFIELD_W);
        const PixelRect shown = fitPicture(snap.w, snap.h, area.width, area.height);
        if (s.scale > 0) {
            EXPECT_EQ(shown.width, snap.w * s.scale);
            EXPECT_EQ(shown.height, snap.h * s.scale);
        } else {
            EXPECT_LT(shown.width, snap.w);
        }
        // Every unit's sprite is drawn, and all its columns are in the picture.
        for (const auto& [x, type] : units) {
            const Arms arms = unitKind(*lookOf(type, 1)).arms;
            const int left = x - arms.GX / 2, right = x + arms.GX / 2;
            EXPECT_LT(right, snap.w) << "unit at " << x;
            long lit = 0;
            for (int y = GROUND - arms.GY; y < GROUND; ++y)
                for (int c = std::max(left, 0); c <= std::min(right, snap.w - 1); ++c)
                    lit += snap.px[static_cast<std::size_t>(y) * snap.w + c] != 0;
            EXPECT_GT(lit, 0) << "no sprite at " << x;
        }
        // The top counter's 8 rows (40 above the bottom edge) lie below the bars' rows, and
        // the counter is drawn there: level 12 gives every stock.
        const int countersTop = snap.h - 1 - 40;
        EXPECT_GT(countersTop, HEALTH_BAR_BOTTOM);
        long counter = 0;
        for (int y = countersTop; y < countersTop + 8; ++y)
            for (int c = 10; c < 60; ++c)
                counter += snap.px[static_cast<std::size_t>(y) * snap.w + c] != 0;
        EXPECT_GT(counter, 0);
        game.proc.stop();
    }
}

TEST_F(Xvfb, ScaleTwoBesideATerminalHalvesThePictureAndDoublesItsPixels) {
    GameProcess game;
    game.more = {"--scale", "2"};
    game.start(x_.display, dir_ / "snaps", dir_ / "out.txt");
    game.type("1\n2\n1\n");
    std::string id;
    ASSERT_TRUE(poll([&] { return !(id = windowId()).empty(); })) << slurp(dir_ / "out.txt");
    Shot win;
    // The fixture's screen: 1024 x 768, a window as large, a picture half as large.
    Snapshot snap;
    ASSERT_TRUE(poll([&] { return latestSnapshot(dir_ / "snaps", snap); }));
    EXPECT_EQ(snap.w * 10000 + snap.h, 512 * 10000 + 384);
    long diff = -1;
    std::string first;
    const fs::path xwd = dir_ / "window.xwd";
    poll([&] {
        int st = -1;
        x("xwd -silent -id " + id + " -out '" + xwd.string() + "'", &st);
        std::string err;
        if (st != 0 || !readXwd(xwd, win, err) || !latestSnapshot(dir_ / "snaps", snap))
            return false;
        diff = shownDifferences(win, PixelRect{0, 0, 1024, 768}, snap, first);
        return diff == 0;
    });
    EXPECT_EQ(diff, 0) << first;
}

TEST_F(Xvfb, ADemoFromALargerScreenIsShownWhole) {
    // Recorded on 1920 x 1080, replayed where the screen is 1280 x 1024: the window takes
    // the largest size the screen holds, the picture is shrunk into it, nothing cropped.
    const fs::path demo = dir_ / "large.demo";
    const GameRun recorded = runGame(
        {"--headless", "--fast", "--seed", "7", "--size", "1920x1080", "--record", demo.string()},
        "1\n2\n1\n");
    ASSERT_TRUE(fs::exists(demo)) << recorded.err;
    ShownScreen screen("1280x1024", dir_);
    ASSERT_TRUE(screen.start());
    GameProcess game;
    game.more = {"--replay", demo.string()};
    game.start(screen.display(), dir_ / "snaps", dir_ / "out.txt");
    std::string id;
    ASSERT_TRUE(poll([&] { return !(id = screen.windowId(TITLE)).empty(); }))
        << slurp(dir_ / "out.txt");
    Shot win;
    ASSERT_TRUE(poll([&] { return screen.shot(id, win); }));
    EXPECT_LE(win.w, 1280);
    EXPECT_LE(win.h, 1024);
    screen.expectShowsSnapshot(
        id, 1,
        [](int w, int h) {
            return PixelRect{0, 0, w, h};
        },
        "the replay's battle");
    Snapshot snap;
    ASSERT_TRUE(latestSnapshot(dir_ / "snaps", snap));
    EXPECT_EQ(snap.w * 10000 + snap.h, 1920 * 10000 + 1080);
}

} // namespace
} // namespace gs
