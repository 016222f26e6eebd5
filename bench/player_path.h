// What the benchmarks of the player's path share: the screen the windows open on, the CPU
// that the game and the X server spend, and a game on the practice ground that plays
// whole turns with the real clock, headless or in a window.
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "air/raids.h"
#include "bench/frames_shown.h"
#include "bench/practice.h"
#include "bench/quiet_keys.h"
#include "combat/damage.h"
#include "combat/enemy_fire.h"
#include "combat/flight.h"
#include "combat/health.h"
#include "combat/movement.h"
#include "effects/explosions.h"
#include "frontend/sdl/window.h"
#include "render/field.h"
#include "render/sprites.h"

namespace gs::bench {

/// Where the benchmarks' windows open: a private Xvfb when it is installed (SDL's x11
/// driver drawing in software, as on a desktop without a GPU driver), SDL's dummy driver
/// otherwise. The server lives as long as the benchmark program.
class Screen {
public:
    static Screen& get() {
        static Screen s;
        return s;
    }
    /// "x11 on Xvfb :N" or "SDL dummy driver", for the benchmarks' labels.
    const std::string& label() const { return label_; }
    /// CPU the X server has used so far, in milliseconds (0 without one).
    double serverCpuMs() const { return server_ > 0 ? cpuMsOf(server_) : 0; }
    ~Screen() {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }

private:
    Screen() {
        if (startXvfb()) {
            ::setenv("SDL_VIDEODRIVER", "x11", 1);
            label_ = "x11 on Xvfb " + display_;
        } else {
            ::setenv("SDL_VIDEODRIVER", "dummy", 1);
            label_ = "SDL dummy driver";
        }
    }
    bool startXvfb() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        server_ = fork();
        if (server_ == 0) {
            close(fds[0]);
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "3840x2160x24",
                   "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) {
            if (server_ > 0) waitpid(server_, nullptr, 0);
            server_ = -1;
            return false;
        }
        display_ = ":" + number;
        ::setenv("DISPLAY", display_.c_str(), 1);
        return true;
    }
    /// The scheduler's count of a process's time on a CPU: nanoseconds, not clock ticks.
    static double cpuMsOf(pid_t pid) {
        std::ifstream f("/proc/" + std::to_string(pid) + "/schedstat");
        double ns = 0;
        f >> ns;
        return ns / 1e6;
    }

    pid_t server_ = -1;
    std::string display_;
    std::string label_;
};

inline double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

/// CPU of this process (every thread) and of the X server since it was made.
class CpuMeter {
public:
    CpuMeter() : process_(processCpuMs()), server_(Screen::get().serverCpuMs()) {}
    double ms() const { return processMs() + serverMs(); }
    double processMs() const { return processCpuMs() - process_; }
    double serverMs() const { return Screen::get().serverCpuMs() - server_; }

private:
    double process_, server_;
};

inline void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

/// The practice ground of level 1 (targets and houses that do not shoot back) on the
/// real clock, in a window of the given size or headless.
struct PracticeGame {
    Graph gr;
    QuietKeys keys; // the turns here never ask
    Console con{keys};
    Clock clk{Clock::Config{false, 1u}};
    RaidDice rnd;
    Game G{gr, con, clk, rnd};

    /// A `factory` of the one window's shows the picture there, sized from its area.
    PracticeGame(bool window, int width, int height, int scale = 1,
                 Graph::WindowFactory factory = {})
        : gr(Graph::Config{!window, width, height, !factory, scale}) {
        if (window) {
            Screen::get();
            gr.setWindowFactory(factory ? std::move(factory)
                                        : sdlWindowFactory(shownFrames().observer()));
        }
        startPracticeLevel(G, 5, 30000);
        G.GD = 0;
        G.GM = 30000;
        G.gr.InitGraph(G.GD, G.GM, "");
        G.OBRU = 1;
        drawBattlefield();
        // The window opens and shows its first picture while the player reads it.
        if (window) sleepMs(400);
    }

    void drawBattlefield() {
        FIELD(G);
        PAINTOBJ(G);
        HEALTH(G);
        GUN(G);
    }

    /// One turn as the battle plays it after the answer to the shot question: the field
    /// drawn anew, the flight, the blast, the damage and the enemy's answer.
    void playTurn(i16 ammunition, i16 speed, i16 angle) {
        G.SNARYAD = ammunition;
        shotVelocity(speed, angle, G.DX, G.DY);
        G.gr.ClearDevice();
        drawBattlefield();
        FLY(G);
        const i16 col = w16(G.GUNX + G.X);
        const i16 row = G.Y > 0 ? rowAbove(G.Y) : i16(GROUND);
        if (ammunition == A_NUCLEAR)
            NUCLEAR(G, col, GROUND);
        else
            EXPLODE(G, col, row);
        URONIX(G, col);
        G.Delay(100);
        SPLASH(G);
        for (int i = 1; i <= G.units(); ++i) {
            OBJ& unit = G.unit(i);
            if (unit.HEALTH > 0) continue;
            if (unit.UVIS == 0) XEXPLODE(G, unit.X, GROUND);
            unit.UVIS = 1;
            unit.GX = 0;
            unit.GY = 0;
        }
        AISHOT(G);
        AIRSTRIKE(G);
        CARPETBOMBING(G);
        MOVE(G);
        RADARMACH(G);
    }
};

} // namespace gs::bench
