// The window on a real X server (a private Xvfb): a wake-up that reaches the server after
// its window is gone must not end the program.
// GoogleTest before Xlib, whose macros (None, Bool) would clash with its names.
#include <gtest/gtest.h>

#include <SDL.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "frontend/sdl/window.h"
#include "picture/graph.h"

namespace gs {
namespace {

/// Starts Xvfb on a display it picks; its number, or empty when it cannot be run.
std::string startXvfb(pid_t& server) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    server = fork();
    if (server == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    for (char c; read(fds[0], &c, 1) == 1 && c != '\n';) number += c;
    close(fds[0]);
    return number.empty() ? std::string() : ":" + number;
}

/// Xlib's functions, from where SDL loaded the library.
template <class F> F xlib(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

/// A battle's window, so that SDL runs on X; then what SDL's wake-up does when it comes
/// late: an event sent to a window already destroyed. Exits 0 when the program lives on.
void sendAWakeUpTooLate() {
    Graph g{Graph::Config{false, 320, 200, true}};
    g.setWindowFactory(sdlWindowFactory());
    i16 d = 0, m = 30000;
    g.InitGraph(d, m, "");
    if (g.windowFailed()) std::exit(2);
    auto open = xlib<Display* (*)(const char*)>("XOpenDisplay");
    auto root = xlib<Window (*)(Display*)>("XDefaultRootWindow");
    auto create = xlib<Window (*)(Display*, Window, int, int, unsigned, unsigned, unsigned,
                                  unsigned long, unsigned long)>("XCreateSimpleWindow");
    auto destroy = xlib<int (*)(Display*, Window)>("XDestroyWindow");
    auto send = xlib<Status (*)(Display*, Window, Bool, long, XEvent*)>("XSendEvent");
    auto sync = xlib<int (*)(Display*, Bool)>("XSync");
    if (!open || !root || !create || !destroy || !send || !sync) std::exit(3);
    Display* x = open(nullptr);
    const Window gone = create(x, root(x), 0, 0, 10, 10, 0, 0, 0);
    destroy(x, gone);
    XEvent wake{};
    wake.xclient.type = ClientMessage;
    wake.xclient.window = gone;
    wake.xclient.format = 32;
    send(x, gone, False, NoEventMask, &wake);
    sync(x, False);
    g.CloseGraph();
    // Alive: that is all this asks. (Ended without the leak check, which would count the
    // X libraries' own memory.)
    _exit(0);
}

TEST(WindowX11, AWakeUpForAWindowAlreadyGoneDoesNotEndTheProgram) {
    pid_t server = -1;
    const std::string display = startXvfb(server);
    if (display.empty()) {
        if (server > 0) waitpid(server, nullptr, 0);
        GTEST_SKIP() << "Xvfb is not installed (make deps installs it)";
    }
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
    EXPECT_EXIT(sendAWakeUpTooLate(), ::testing::ExitedWithCode(0), "");
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
}

} // namespace
} // namespace gs
