// Program entry in a web page: the same options, demos, levels and game as on the desktop,
// with the page standing in for the window and the terminal. The page passes the options
// of its address as arguments; its keys typed from the address come first, as piped input.
#include <cstdio>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/battle.h"
#include "game/demo_setup.h"
#include "game/level_file.h"
#include "game/modes.h"
#include "game/options.h"
#include "game/web_sound.h"
#include "platform/demo_terminals.h"
#include "platform/runtime_error.h"
#include "platform/web/web_page.h"

namespace {

int play(int argc, char** argv) {
    using namespace gs;
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    ParsedOptions parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "gorvenshale: %s\n", parsed.error.c_str());
        return 2;
    }
    Options& o = parsed.options;
    if (o.help || o.version) {
        std::fputs((o.help ? usageText() : versionText()).c_str(), stdout);
        return 0;
    }
    DemoSetup demos;
    if (std::string why = setUpDemos(o, demos, Clock().seedTicks()); !why.empty()) {
        std::fprintf(stderr, "gorvenshale: %s\n", why.c_str());
        return 2;
    }
    if (!demos.note.empty()) std::fprintf(stderr, "gorvenshale: note: %s\n", demos.note.c_str());
    // The levels are built into the page's files, in ./level.
    useLevelDirectory(findLevelDirectory(levelDirectoryPlaces(o.levels)));

    WebClock clk(Clock::Config{o.fast, o.seed});
    Graph gr(Graph::Config{false, o.width, o.height, o.sizeGiven});
    gr.setWindowFactory(webPictureFactory());
    WebTerminal term;
    WebPage::get().attach(term);
    Terminal* keys = &term;
    // The address's keys, then the demo's: each in front of what comes after it.
    ReplayTerminal typed(term, startKeys());
    keys = &typed;
    std::optional<ReplayTerminal> replay;
    if (demos.replay) {
        std::function<void(int)> pace;
        if (!o.fast) pace = [](int k) { WebPage::get().pause(replayPauseMs(k)); };
        keys = &replay.emplace(*keys, std::move(demos.replay->keys), pace);
    }
    Console con(*keys);
    con.onPlainText = [&term](std::string_view text) { term.addTranscript(text); };
    Rng rnd;
    Game G(gr, con, clk, rnd);
    WebSound sound(o, G); // the page's audio, from the same table and the same events
    try {
        runGame(G, battle);
    } catch (const RuntimeError& e) {
        std::fputs(runtimeErrorReport(e).c_str(), stderr);
        if (e.code == RE_PATH_NOT_FOUND) std::fputs(missingLevelDirectoryNote().c_str(), stderr);
        return e.code;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gorvenshale: internal error: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int status = play(argc, argv);
    std::fflush(stdout);
    std::fflush(stderr);
    gs::WebPage::get().finished(status);
    return status;
}
