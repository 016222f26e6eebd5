// Program entry: options, the platform services, the main loop, and the run-time error
// report that ends the program when a console or file operation fails.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "game/battle.h"
#include "game/modes.h"
#include "game/options.h"
#include "platform/png/snapshots.h"
#include "platform/runtime_error.h"
#include "platform/sdl/window.h"
#include "platform/terminal_std.h"

int main(int argc, char** argv) {
    using namespace gs;
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    ParsedOptions parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        std::cerr << "gorvenshale: " << parsed.error << "\n" << usageText();
        return 2;
    }
    const Options& o = parsed.options;
    if (o.help) {
        std::cout << usageText();
        return 0;
    }
    if (o.version) {
        std::cout << versionText();
        return 0;
    }

    Clock clk(Clock::Config{o.fast, o.seed});
    Graph gr(Graph::Config{o.headless, o.width, o.height, o.sizeGiven});
    if (!o.headless) gr.setWindowFactory(sdlWindowFactory());
    if (o.snapshots) gr.setSnapshotWriter(snapshotSeries(*o.snapshots));
    StdTerminal term;
    Console con(term);
    con.onPlayerWait = [&gr] { gr.snapshotDue(); };
    Rng rnd;
    Game G(gr, con, clk, rnd);

    // On the way out the terminal gets its settings back before anything is reported.
    auto endLine = [&] {
        term.restore();
        if (!con.atLineStart()) std::fputs("\n", stdout);
        std::fflush(stdout);
    };
    try {
        runGame(G, battle);
    } catch (const RuntimeError& e) {
        endLine();
        std::fputs(runtimeErrorReport(e).c_str(), stderr);
        return e.code;
    } catch (const std::exception& e) {
        endLine();
        std::fprintf(stderr, "gorvenshale: internal error: %s\n", e.what());
        return 1;
    }
    term.restore();
    return 0;
}
