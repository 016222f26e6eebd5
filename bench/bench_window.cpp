// The player's path: what a shown frame costs in a window (the game's drawing, the window
// and the X server together), how many frames the mushroom gets, what waiting at a prompt
// costs, how long real-time turns take over their pauses headless and in a window, the
// game's peak memory in a window, and its start-up.
//
// The windows open on a private Xvfb when it is installed, else on SDL's dummy driver;
// each benchmark's label says which.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "bench/frames_shown.h"
#include "bench/overhead.h"
#include "bench/player_path.h"
#include "state/texts.h"

namespace gs {
namespace {

using namespace gs::bench;
using Wall = std::chrono::steady_clock;

double msSince(Wall::time_point t0) {
    return std::chrono::duration<double, std::milli>(Wall::now() - t0).count();
}

enum Scene { FLIGHT, MUSHROOM, WHOLE_PICTURE };

/// Plays one scene in a fresh window; returns the game's steps (its frames).
int playScene(PracticeGame& p, Scene scene) {
    Game& G = p.G;
    switch (scene) {
    case FLIGHT:
        // Level 1's first shot: speed 22, angle 32, onto the first target.
        shotVelocity(22, 32, G.DX, G.DY);
        FLY(G);
        return G.T;
    case MUSHROOM: NUCLEAR(G, 330, GROUND); return 100;
    case WHOLE_PICTURE:
        // What every shot starts with: the picture cleared and drawn anew, here 20 times
        // at the flight's pace. The field is the same each time, so the window finds
        // nothing that differs and shows no frame: the cost is per step.
        for (int i = 0; i < 20; ++i) {
            G.gr.ClearDevice();
            p.drawBattlefield();
            G.Delay(50);
        }
        return 20;
    }
    return 0;
}

/// CPU per frame the window shows, for a shell's flight, the nuclear mushroom and a
/// change of the whole picture; the mushroom's frames shown per second.
void BM_WindowFrames(benchmark::State& st) {
    const auto scene = static_cast<Scene>(st.range(0));
    const int w = static_cast<int>(st.range(1)), h = static_cast<int>(st.range(2));
    double cpu = 0, shown = 0, steps = 0, wall = 0;
    for (auto _ : st) {
        PracticeGame p(true, w, h);
        const std::uint64_t before = framesShown();
        CpuMeter meter;
        const auto t0 = Wall::now();
        steps += playScene(p, scene);
        wall += msSince(t0);
        sleepMs(50); // the last change reaches the screen within a frame
        cpu += meter.ms();
        shown += static_cast<double>(framesShown() - before);
    }
    st.counters["cpu_ms/shown"] = shown > 0 ? cpu / shown : 0;
    st.counters["cpu_ms/step"] = cpu / steps;
    st.counters["shown/s"] = shown / wall * 1e3;
    st.counters["steps/s"] = steps / wall * 1e3;
    st.SetLabel(Screen::get().label());
}
BENCHMARK(BM_WindowFrames)
    ->ArgNames({"scene", "w", "h"})
    ->ArgsProduct({{FLIGHT, MUSHROOM, WHOLE_PICTURE}, {1280}, {1024}})
    ->ArgsProduct({{FLIGHT, MUSHROOM, WHOLE_PICTURE}, {1920}, {1080}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

/// CPU time (ms) and context switches of this process's threads other than the caller.
std::pair<double, double> otherThreads() {
    namespace fs = std::filesystem;
    double ms = 0, switches = 0;
    const std::string self = std::to_string(gettid());
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        if (task.path().filename() == self) continue;
        std::ifstream sched(task.path() / "schedstat");
        double ns = 0;
        sched >> ns;
        ms += ns / 1e6;
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.find("ctxt_switches:") != std::string::npos)
                switches += std::atof(line.c_str() + line.find(':') + 1);
    }
    return {ms, switches};
}

/// What the window costs over 10 s while the game waits at a prompt: the CPU and the
/// wake-ups of its threads, and the X server's CPU.
void BM_WindowPrompt(benchmark::State& st) {
    double window = 0, wakeups = 0, server = 0, shown = 0;
    for (auto _ : st) {
        PracticeGame p(true, 1920, 1080);
        const std::uint64_t before = framesShown();
        CpuMeter meter;
        const auto [ms0, switches0] = otherThreads();
        sleepMs(10000);
        const auto [ms1, switches1] = otherThreads();
        server += meter.serverMs();
        window += ms1 - ms0;
        wakeups += switches1 - switches0;
        shown += static_cast<double>(framesShown() - before);
    }
    const auto n = static_cast<double>(st.iterations());
    st.counters["window_cpu_ms/10s"] = window / n;
    st.counters["window_wakeups/10s"] = wakeups / n;
    st.counters["x_cpu_ms/10s"] = server / n;
    st.counters["shown"] = shown;
    st.SetLabel(Screen::get().label());
}
BENCHMARK(BM_WindowPrompt)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

/// How long one drawing call holds the game up when the window has gone to sleep since
/// the last change: the wake-up is on the game's path.
void BM_WindowDrawingCall(benchmark::State& st) {
    PracticeGame p(true, 1280, 1024);
    double longest = 0;
    int i = 0;
    for (auto _ : st) {
        sleepMs(20);
        p.G.gr.SetColor(++i & 1 ? colour::White : colour::Black);
        const auto t0 = Wall::now();
        p.G.gr.Circle(400, 400, 3);
        const double us = msSince(t0) * 1e3;
        st.SetIterationTime(us / 1e6);
        longest = std::max(longest, us);
    }
    st.counters["longest_us"] = longest;
    st.SetLabel(Screen::get().label());
}
BENCHMARK(BM_WindowDrawingCall)->Iterations(200)->Unit(benchmark::kMicrosecond)->UseManualTime();

enum Turn { QUIET, NUCLEAR_SHOT, AIR_RAID };

/// A real-time turn's wall time over the pauses it is made of: a quiet shot on the
/// practice ground, a nuclear one, and a shot answered by both raids.
void BM_RealTimeTurn(benchmark::State& st) {
    const auto turn = static_cast<Turn>(st.range(0));
    const bool window = st.range(1) != 0;
    measureOverhead(
        st, "pauses_ms",
        [&] {
            auto p = std::make_unique<PracticeGame>(window, 1280, 1024);
            if (turn == AIR_RAID) {
                p->rnd.raids = true;
                p->G.OBRU = OBRU_MAX;
                p->G.RDR = 1;
            }
            return p;
        },
        [&](PracticeGame& p) {
            if (turn == NUCLEAR_SHOT)
                p.playTurn(A_NUCLEAR, 22, 32);
            else
                p.playTurn(A_FUGASY, 22, 32);
        });
    st.SetLabel(window ? Screen::get().label() : "headless");
}
BENCHMARK(BM_RealTimeTurn)
    ->ArgNames({"turn", "window"})
    ->ArgsProduct({{QUIET, NUCLEAR_SHOT, AIR_RAID}, {0, 1}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

/// Memory figures of a running process from /proc, in MB.
double statusMb(pid_t pid, const std::string& key) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(f, line);)
        if (line.rfind(key + ":", 0) == 0) return std::atof(line.c_str() + key.size() + 1) / 1024;
    return -1;
}

/// Runs the built game with `args`, types `keys`, and when its output holds `until` for
/// the `times`th time reads its peak resident memory (VmHWM, in MB); then ends its input.
/// With `times` 0 the game just runs to its end. Returns -1 when it could not be run.
double runGame(const std::vector<std::string>& args, const std::string& keys,
               const std::string& until = {}, int times = 0) {
    namespace fs = std::filesystem;
    const fs::path out = fs::temp_directory_path() / ("gs_bench_out_" + std::to_string(getpid()));
    int input[2];
    if (pipe(input) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = open("/dev/null", O_WRONLY);
        if (o < 0 || null < 0 || chdir(GS_SOURCE_DIR) != 0) _exit(120);
        close(input[1]);
        dup2(input[0], 0);
        dup2(o, 1);
        dup2(null, 2);
        std::vector<char*> argv{const_cast<char*>(GS_BINARY)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(GS_BINARY, argv.data());
        _exit(127);
    }
    close(input[0]);
    if (write(input[1], keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) times = 0;
    double peak = -1;
    const auto end = Wall::now() + std::chrono::seconds(60);
    while (times > 0 && Wall::now() < end) {
        std::ifstream f(out);
        const std::string text((std::istreambuf_iterator<char>(f)), {});
        int seen = 0;
        for (auto at = text.find(until); at != std::string::npos; at = text.find(until, at + 1))
            ++seen;
        if (seen >= times) {
            sleepMs(300); // the window shows the last picture
            peak = statusMb(pid, "VmHWM");
            break;
        }
        sleepMs(20);
    }
    close(input[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    fs::remove(out);
    return pid > 0 ? peak : -1;
}

/// The game's peak memory over one nuclear turn of level 1 (the blast reaches the gun),
/// read at the question that follows, in a window of each size and headless (w = 0).
void BM_GamePeakMemory(benchmark::State& st) {
    const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
    std::vector<std::string> args{"--fast", "--seed", "7"};
    if (w == 0)
        args.emplace_back("--headless");
    else
        args.insert(args.end(), {"--size", std::to_string(w) + "x" + std::to_string(h)});
    Screen::get();
    double peak = 0;
    for (auto _ : st) {
        const double mb = runGame(args, "1\n2\n1\n\n3\n22 32\n", text::REPLAY_QUESTION, 1);
        if (mb < 0) st.SkipWithError("the game did not reach the end of its turn");
        peak = std::max(peak, mb);
    }
    st.counters["peak_MB"] = peak;
    st.SetLabel(w == 0 ? "headless" : Screen::get().label());
}
BENCHMARK(BM_GamePeakMemory)
    ->ArgNames({"w", "h"})
    ->Args({0, 0})
    ->Args({1280, 1024})
    ->Args({1920, 1080})
    ->Args({2560, 1440})
    ->Args({3840, 2160})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

/// The whole program from exec to exit: --version, and a headless start that quits at
/// the main menu.
void BM_ProgramStart(benchmark::State& st) {
    const bool headlessGame = st.range(0) != 0;
    for (auto _ : st) {
        if (headlessGame)
            runGame({"--headless"}, "3\n");
        else
            runGame({"--version"}, "");
    }
    st.SetLabel(headlessGame ? "--headless, Quit at the menu" : "--version");
}
BENCHMARK(BM_ProgramStart)
    ->ArgName("headless_game")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

/// Opening a fresh picture: its first touch, as at the start of the program. (A picture
/// under 2 MiB comes from malloc, which hands each iteration the memory of the one
/// before: only a program's first picture pays its page faults, about 500 at 1920x1080.)
void BM_FreshPicture(benchmark::State& st) {
    const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    for (auto _ : st) {
        st.PauseTiming();
        auto g = std::make_unique<Graph>(Graph::Config{true, w, h, true});
        i16 d = 0, m = 30000;
        st.ResumeTiming();
        g->InitGraph(d, m, "");
        g->ClearDevice();
        st.PauseTiming();
        g.reset();
        st.ResumeTiming();
    }
    getrusage(RUSAGE_SELF, &after);
    st.counters["page_faults"] = static_cast<double>(after.ru_minflt - before.ru_minflt) /
                                 static_cast<double>(st.iterations());
}
BENCHMARK(BM_FreshPicture)
    ->ArgNames({"w", "h"})
    ->Args({1920, 1080})
    ->Args({2560, 1440})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace gs
