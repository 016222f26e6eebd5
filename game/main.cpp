// Program entry: options, the platform services, the main loop, and the run-time error
// report that ends the program when a console or file operation fails.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "game/battle.h"
#include "game/demo_setup.h"
#include "game/desktop_sound.h"
#include "game/level_file.h"
#include "game/modes.h"
#include "game/options.h"
#include "platform/demo_terminals.h"
#include "platform/pane_render.h"
#include "platform/pane_terminal.h"
#include "platform/png/snapshots.h"
#include "platform/runtime_error.h"
#include "platform/sdl/window.h"
#include "platform/std_descriptors.h"
#include "platform/terminal_std.h"
#include "state/texts.h"

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
    if (!holdStandardDescriptors()) {
        std::fputs("gorvenshale: /dev/null cannot be opened for a closed standard descriptor\n",
                   stderr);
        return 2;
    }
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    ParsedOptions parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        std::cerr << "gorvenshale: " << parsed.error << "\n" << usageText();
        return 2;
    }
    Options& o = parsed.options;
    if (o.help) return writeInformation(usageText(), "usage");
    if (o.version) return writeInformation(versionText(), "version");

    // A demo that cannot be played, or a recording that cannot be written, stops here,
    // before the terminal or the window is touched.
    DemoSetup demos;
    if (std::string why = setUpDemos(o, demos, Clock().seedTicks()); !why.empty()) {
        std::cerr << "gorvenshale: " << why << "\n";
        return 2;
    }
    if (!demos.note.empty()) std::cerr << "gorvenshale: note: " << demos.note << "\n";

    // Every level of this game comes from the directory found now.
    useLevelDirectory(findLevelDirectory(levelDirectoryPlaces(o.levels)));

    Clock clk(Clock::Config{o.fast, o.seed});
    const Graph::Config picture{o.headless, o.width, o.height, o.sizeGiven, o.scale};
    // Until the game is over, closing the one window or Ctrl+C in it ends the program the
    // way Ctrl+C ends it in a terminal; afterwards they only close the window. (Declared
    // before the window, whose thread reads it, so that it outlives the window.)
    std::atomic<bool> gameOver{false};
    // The console's keyboard and screen: the terminal, or a pane in the one window.
    std::optional<StdTerminal> term;
    std::optional<PaneTerminal> pane;
    std::unique_ptr<GameWindow> window;
    Terminal* keys = nullptr;
    if (o.consoleWindow) {
        pane.emplace(PANE_COLS, PANE_ROWS);
        std::string error;
        window = GameWindow::open(GameWindow::Setup{text::TITLE, picture, &*pane,
                                                    [&gameOver] {
                                                        if (!gameOver.load()) std::raise(SIGINT);
                                                    }},
                                  error);
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
        // The window's size is known once the desktop has given it.
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
    // The sound: heard in the window modes, written with --sound-wav; the game never waits.
    DesktopSound sound(o, G);
    if (!sound.error().empty()) {
        std::cerr << "gorvenshale: " << sound.error() << "\n";
        return 2;
    }

    // The recording keeps the keys typed after the last Enter too; a file that could not
    // be written is reported, never passed over as success.
    auto keepRecording = [&](int status) {
        if (!record) return status;
        record->save();
        if (record->error().empty()) return status;
        std::fprintf(stderr, "gorvenshale: the recording %s could not be written: %s\n",
                     o.record->c_str(), record->error().c_str());
        return status == 0 ? 2 : status;
    };
    // On the way out the terminal gets its settings back before anything is reported.
    auto endLine = [&] {
        gameOver = true;
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
        std::string text = runtimeErrorReport(e);
        // Only a level file meets a missing directory: say where the levels were looked for.
        if (e.code == RE_PATH_NOT_FOUND) text += missingLevelDirectoryNote();
        return report(text, e.code);
    } catch (const std::exception& e) {
        endLine();
        return report(std::string("gorvenshale: internal error: ") + e.what() + "\n", 1);
    }
    gameOver = true;
    if (term) term->restore();
    return keepRecording(0);
}
