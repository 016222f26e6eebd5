// Program entry: options, the platform services, the main loop, and the run-time error
// report that ends the program when a console or file operation fails.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "console/pane_render.h"
#include "console/pane_terminal.h"
#include "console/terminal_std.h"
#include "demo/demo_terminals.h"
#include "frontend/png/snapshots.h"
#include "frontend/sdl/window.h"
#include "game/battle.h"
#include "game/modes.h"
#include "game/progress.h"
#include "program/desktop/desktop_sound.h"
#include "program/startup.h"
#include "state/texts.h"
#include "system/runtime_error.h"
#include "system/std_descriptors.h"

namespace {

/// Writes the --help or --version text. Text that did not arrive (a full disk, a closed
/// standard output) is reported as the game reports a failed write of its own, with exit
/// status 101, never passed over as success.
int writeInformation(const std::string& text, const char* what) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
        return 0;
    const int why = errno;
    std::fprintf(stderr, "gorvenshale: the %s could not be written: %s\n", what,
                 std::strerror(why));
    return gs::RE_WRITE_FAILED;
}

/// Shows the report that ends the game in the one window's pane too (the terminal it was
/// started from may be nowhere to be seen), and keeps the window open until the player
/// has read it: a key, Ctrl+C or closing the window ends the program.
void showEndInPane(gs::PaneTerminal& pane, const std::string& report) {
    std::string text = "\r\n";
    for (char c : report) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    text += gs::text::PRESS_A_KEY_TO_CLOSE;
    pane.write(text);
    try {
        (void)pane.waitKey();
    } catch (const gs::RuntimeError&) {
        // The window is gone: nothing more to wait for.
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace gs;
    // A write to a closed pipe, or past the file-size limit (ulimit -f), fails with an
    // error the game reports, instead of a signal ending it with nothing said.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    if (!holdStandardDescriptors()) {
        std::fputs("gorvenshale: /dev/null cannot be opened for a closed standard descriptor\n",
                   stderr);
        return 2;
    }
    Start start = startUp(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                          Clock().seedTicks());
    if (start.endNow && *start.endNow == 0) {
        const Options& o = start.options;
        return writeInformation(start.out, o.help ? "usage" : "version");
    }
    std::fputs(start.err.c_str(), stderr);
    if (start.endNow) return *start.endNow;
    Options& o = start.options;
    DemoSetup& demos = start.demos;
    Clock clk(start.clock);
    const Graph::Config picture = start.picture;
    // A replayed demo only shows a game: the player's Campaign progress stays as it was.
    CampaignProgress campaign{o.continueCampaign, !demos.replay, progressFile(progressFilePath())};
    // The console's keyboard and screen: the terminal, or a pane in the one window.
    std::optional<StdTerminal> term;
    std::optional<PaneTerminal> pane;
    std::unique_ptr<GameWindow> window;
    Terminal* keys = nullptr;
    if (o.consoleWindow) {
        pane.emplace(PANE_COLS, PANE_ROWS);
        std::string error;
        window = GameWindow::open(GameWindow::Setup{text::TITLE, picture, &*pane, {}}, error);
        if (!window) {
            std::fprintf(stderr,
                         "%s\nThe game's window cannot be opened here; run with --console "
                         "terminal --headless to play in the terminal alone.\n",
                         error.c_str());
            return 1;
        }
        keys = &*pane;
    } else {
        keys = &term.emplace();
    }
    // The picture, made after the window it may show in, goes before it: a battle's picture
    // still open at the end lets go of the window first.
    Graph gr(picture);
    if (o.snapshots) gr.setSnapshotWriter(snapshotSeries(*o.snapshots));
    if (window)
        gr.setWindowFactory(window->pictureFactory());
    else if (!o.headless)
        gr.setWindowFactory(sdlWindowFactory());
    Terminal& screen = *keys;
    std::optional<ReplayTerminal> replay;
    if (demos.replay) {
        // A watched replay types at a readable pace, outside the game's clock.
        std::function<void(int)> pace;
        if (!o.fast)
            pace = [](int k) {
                std::this_thread::sleep_for(std::chrono::milliseconds(replayPauseMs(k)));
            };
        keys = &replay.emplace(screen, std::move(demos.replay->keys), pace);
    }
    std::optional<RecordingTerminal> record;
    if (demos.record) {
        keys = &record.emplace(*keys, *o.record, std::move(*demos.record));
        // The window's size is known once the desktop has given it; the demo holds one
        // size, so a resized one window does not change it for later battles.
        if (window && !o.sizeGiven) window->keepFirstPictureSize();
        record->beforeSave = [&gr](Demo& d) {
            if (gr.width() > 0) {
                d.width = gr.width();
                d.height = gr.height();
            }
        };
    }
    Console con(*keys);
    con.onPlayerWait = [&gr] { gr.snapshotDue(); };
    Rng rnd;
    Game G(gr, con, clk, rnd);
    G.levels = start.levels;
    G.campaign = &campaign;
    // The sound: heard in the window modes, written with --sound-wav; the game never waits.
    DesktopSound sound(o, G);
    if (!sound.error().empty()) {
        std::fprintf(stderr, "gorvenshale: %s\n", sound.error().c_str());
        return 2;
    }

    // The recording keeps the keys typed after the last Enter too; a file that could not
    // be written is reported, never passed over as success.
    auto keepRecording = [&](int status) {
        if (!record) return status;
        record->save();
        if (!record->note().empty())
            std::fprintf(stderr, "gorvenshale: note: %s\n", record->note().c_str());
        if (record->error().empty()) return status;
        std::fprintf(stderr, "gorvenshale: the recording %s could not be written: %s\n",
                     o.record->c_str(), record->error().c_str());
        return status == 0 ? 2 : status;
    };
    // On the way out the terminal gets its settings back before anything is reported.
    auto endLine = [&] {
        if (!term) return;
        term->restore();
        if (!con.atLineStart()) std::fputs("\n", stdout);
        std::fflush(stdout);
    };
    // The report goes to standard error, then the recording is kept; in the one window
    // the report waits in the pane until the player has read it (unless the player ended
    // the game by closing the window).
    auto report = [&](const std::string& text, int status) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
        status = keepRecording(status);
        if (pane && !pane->closed()) showEndInPane(*pane, text);
        return status;
    };
    try {
        runGame(G, battle);
    } catch (const RuntimeError& e) {
        endLine();
        // Closing the one window or Ctrl+C in it ends the game as Ctrl+C in a terminal
        // does; a lost display ends it with one line. Either woke the game by closing the
        // pane it read, or stopped it at a drawing call.
        if (window && window->end() == GameWindow::End::PLAYER) return keepRecording(128 + SIGINT);
        if (displayLost()) return report(std::string(text::DISPLAY_LOST) + "\n", 1);
        return report(endReport(e, G.levels), e.code);
    } catch (const std::exception& e) {
        endLine();
        return report(std::string("gorvenshale: internal error: ") + e.what() + "\n", 1);
    }
    if (term) term->restore();
    return keepRecording(0);
}
