// Program entry in a web page: the same start-up, demos, levels and game as on the desktop,
// with the page standing in for the window and the terminal. The page passes the options
// of its address as arguments; its keys typed from the address come first, as piped input.
#include <cstdio>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "demo/demo_terminals.h"
#include "frontend/web/local_storage.h"
#include "frontend/web/web_page.h"
#include "game/battle.h"
#include "game/modes.h"
#include "game/progress.h"
#include "program/startup.h"
#include "program/web/web_sound.h"

namespace {

/// Plays the game the arguments ask for; its exit status. Everything the page shows lives
/// in here, and the page lets go of each piece before it goes.
int play(int argc, char** argv) {
    using namespace gs;
    Start start = startUp(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                          Clock().seedTicks());
    std::fputs(start.out.c_str(), stdout);
    std::fputs(start.err.c_str(), stderr);
    if (start.endNow) return *start.endNow;
    const Options& o = start.options;
    // The Campaign's progress stays in the browser's local storage for this site; a
    // replayed demo only shows a game and keeps nothing.
    CampaignProgress campaign{
        o.continueCampaign,
        !start.demos.replay,
        {"the browser's local storage",
         [](std::string& e) { return readLocalStorage("gorvenshale-campaign", e); },
         [](const std::string& t, std::string& e) {
             return writeLocalStorage("gorvenshale-campaign", t, e);
         }}};

    WebClock clk(start.clock);
    WebTerminal term;
    Graph gr(start.picture);
    gr.setWindowFactory(webPictureFactory());
    // The address's keys, then the demo's: each in front of what comes after it. Keys that
    // come without waiting for the player still let the browser have its turn now and then,
    // however many there are: the game may go through thousands without drawing.
    const auto yieldNowAndThen = [](int) { WebPage::get().yieldNowAndThen(); };
    ReplayTerminal typed(term, startKeys(), yieldNowAndThen);
    Terminal* keys = &typed;
    std::optional<ReplayTerminal> replay;
    if (start.demos.replay) {
        std::function<void(int)> pace = yieldNowAndThen;
        if (!o.fast) pace = [](int k) { WebPage::get().pause(replayPauseMs(k)); };
        keys = &replay.emplace(*keys, std::move(start.demos.replay->keys), pace);
    }
    Console con(*keys);
    con.onPlainText = [&term](std::string_view text) { term.addTranscript(text); };
    con.onEditLine = [&term](std::string_view line, std::size_t cursor) {
        term.editLine(line, cursor);
    };
    Rng rnd;
    Game G(gr, con, clk, rnd);
    G.levels = start.levels;
    G.campaign = &campaign;
    WebSound sound(o, G); // the page's audio, from the same table and the same events
    try {
        runGame(G, battle);
    } catch (const RuntimeError& e) {
        std::fputs(endReport(e, G.levels).c_str(), stderr);
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
    // The game's terminal and picture are gone by now: the page shows what they left on it.
    gs::WebPage::get().finished(status);
    return status;
}
