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

#include "console/console.h"
#include "console/pane_render.h"
#include "console/pane_terminal.h"
#include "console/text_grid.h"
#include "picture/graph.h"
#include "system/clock.h"

namespace gs {

/// The console's terminal on the page: a screen of cells, and the keys typed on the page.
/// There is no end of input: the player can always type. The page shows it from its
/// making to its end, and shows its last screen as it goes.
class WebTerminal : public GridTerminal {
public:
    /// The page's console size: the window pane's.
    static constexpr int COLS = PANE_COLS, ROWS = PANE_ROWS;

    WebTerminal();
    ~WebTerminal() override;
    WebTerminal(const WebTerminal&) = delete;
    WebTerminal& operator=(const WebTerminal&) = delete;

    std::optional<int> pollKey() override;
    /// Shows the page as it is now, then hands the thread to the browser until a key comes.
    int waitKey() override;

    /// The console's output as plain lines (Console::onPlainText), for the text element.
    void addTranscript(std::string_view text) { transcript_ += text; }
    /// The answer being typed and its cursor (Console::onEditLine), for the narrow layout.
    void editLine(std::string_view line, std::size_t cursor);

private:
    friend class WebPage;
    std::string transcript_; ///< not yet on the page
    std::string answer_;     ///< the answer being typed
    std::size_t answerCursor_ = 0;
    bool answerChanged_ = false; ///< not yet on the page
};

/// The page: what is on it, and the program's turns away from it.
class WebPage {
public:
    static WebPage& get();

    /// Shows this picture from now on, until the picture is closed.
    void attach(Graph& graph) { graph_ = &graph; }
    /// Shows this console from now on, until detach: the page never reads a terminal or a
    /// picture that is gone.
    void attach(WebTerminal& terminal);
    void detach(WebTerminal& terminal);
    /// The picture changed: it is put on the page before the next turn away. A game that
    /// draws for long without a pause (a fast game) gets the page its turn now and then.
    void pictureChanged();
    /// The battle's picture is closed (or gone with its Graph): its canvas shows nothing
    /// until the next one, as the one window's picture area, and the Graph is let go.
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
