// The game in a web page: what the SDL window and the terminal do on the desktop. The
// picture goes onto the page's picture canvas, the console's screen onto its console
// canvas (drawn as the window's pane draws it) and, line by line, into its text element;
// the keys come from the page. The game runs on the page's own thread, so every pause and
// every wait for a key hands the thread back to the browser (the program is suspended
// there and resumed later), and before each of them the page is brought up to date.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/graph.h"
#include "platform/pane_render.h"
#include "platform/pane_terminal.h"
#include "platform/text_grid.h"

namespace gs {

/// The console's terminal on the page: a screen of cells, and the keys typed on the page.
/// There is no end of input: the player can always type.
class WebTerminal : public GridTerminal {
public:
    /// The page's console size: the window pane's.
    static constexpr int COLS = PANE_COLS, ROWS = PANE_ROWS;

    WebTerminal();

    std::optional<int> pollKey() override;
    /// Shows the page as it is now, then hands the thread to the browser until a key comes.
    int waitKey() override;

    /// The console's output as plain lines (Console::onPlainText), for the text element.
    void addTranscript(std::string_view text) { transcript_ += text; }

private:
    friend class WebPage;
    std::string transcript_; ///< not yet on the page
};

/// The page: what is on it, and the program's turns away from it.
class WebPage {
public:
    static WebPage& get();

    /// Shows this picture and this console from now on.
    void attach(Graph& graph) { graph_ = &graph; }
    void attach(WebTerminal& terminal);
    /// The picture changed: it is put on the page before the next turn away. A game that
    /// draws for long without a pause (a fast game) gets the page its turn now and then.
    void pictureChanged();
    /// The battle's picture is closed: its canvas shows nothing until the next one, as the
    /// one window's picture area.
    void pictureClosed();

    /// Puts on the page whatever changed since the last time.
    void show();
    /// Called by each `show`, before every pause and key wait: the sound hands its waiting
    /// events to the page's audio there, just before the frame that shows them.
    std::function<void()> onShow;
    /// Shows the page, then pauses for `ms` milliseconds while the browser runs.
    void pause(double ms);
    /// Shows the page and hands it the thread for a moment if the program has kept it for
    /// longer than YIELD_EVERY_MS.
    void yieldNowAndThen();
    /// Shows the page, then hands the browser the thread until a key is typed; the key.
    int waitForKey();
    /// Shows the page for the last time and tells it how the game ended.
    void finished(int status);

    /// The longest the program keeps the thread while the game runs without pausing.
    static constexpr double YIELD_EVERY_MS = 50;
    /// What the page's key wait gives when its layout changed: the picture is painted
    /// anew at its new size and the wait goes on.
    static constexpr int RELAID_OUT = -2;

private:
    WebPage();
    void showPicture();
    void showConsole();

    Graph* graph_ = nullptr;
    WebTerminal* terminal_ = nullptr;
    bool pictureChanged_ = false;
    PixelPalette palette_{};
    double lastYield_ = 0;
    std::vector<std::uint32_t> picture_; ///< the picture's canvas in its RGBA
    int pictureW_ = 0, pictureH_ = 0;    ///< the game's picture
    int canvasW_ = 0, canvasH_ = 0;      ///< its canvas: its own size, or shrunk to fit
    std::vector<std::uint32_t> pane_;    ///< the console canvas's RGBA
    std::unique_ptr<PaneRenderer> paneRenderer_;
};

/// The picture's presenter: the page's picture canvas.
Graph::WindowFactory webPictureFactory();

/// Pauses hand the thread to the browser; the schedule of the pauses is the Clock's own.
class WebClock : public Clock {
public:
    using Clock::Clock;

protected:
    /// Also tells the page the pauses' running total (Module.gsPage.pausedMs), so that
    /// the page's figures can set a turn's wall time against the pauses it asked for.
    void sleepMs(std::uint16_t ms) override;
    void sleepUntil(Instant deadline) override;

private:
    double pausedMs_ = 0;
};

/// The keys typed from the page's address before the game starts, if it gave any.
std::vector<int> startKeys();

} // namespace gs
