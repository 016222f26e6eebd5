// What both kinds of game window share: a window thread that owns SDL and shows a Graph's
// picture, and the waker that lets the game wake it without waiting on the display.
//
// Threads. The game's thread draws into the Graph and calls changed(), attach(), detach(),
// pictureSize() and stop(); it never calls SDL. The window thread is the only one that
// calls SDL for the window (it initialises the video, makes, shows, repaints and destroys
// the window, and handles every event). The waker only posts the event that wakes the
// window thread out of SDL_WaitEvent: that post may write to the display connection, and
// a drawing call must never wait on the X server.
//
// Locks. `attached_` guards graph_ and clearPicture_ (which picture the window shows).
// The Graph's pictureLock() guards the pixels while the window thread copies the changes.
// The loss lock (window_thread.cpp) guards whether the display is lost, which pane that
// closes, and each window's `ended_`; stop() waits on it for either.
//
// Atomics. `pending_`: the picture or the pane changed since the window thread last
// looked. `wake_`: where the window thread is (AWAKE, ASLEEP in SDL_WaitEvent, WAKING when
// the game has asked the waker to post, POSTED once it has), or STOP: the window is to go;
// the waker sleeps on it. `areaW_`, `areaH_`: the window's present client size, and
// `chosenScale_` the one window's factor without --scale, read by the game when it opens a
// picture. `gameEnded_`: the player closed the one window or
// pressed Ctrl+C in it; the game's next drawing call ends the game.
//
// Order of destruction. stop() (the game) sets STOP, which the waker answers with a last
// post; the window thread leaves its loop, joins the waker, destroys the window and quits
// SDL's video; then stop() joins the window thread. The Graph's presenter detaches before.
// When the display is lost, Xlib's handler keeps whichever thread met it waiting for the
// program's end, and the waker too: stop() then lets the thread go and the window is kept,
// never destroyed.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "console/pane_terminal.h"
#include "frontend/sdl/surface_painter.h"
#include "frontend/sdl/window.h"
#include "picture/graph.h"
#include "picture/picture_size.h"

namespace gs::sdl {

/// The window: SDL lives on its thread. It shows the picture of the Graph attached to it;
/// what else it shows and how it answers the player is the kind of window's.
class WindowThread {
public:
    struct Mode {
        std::string title;
        Graph::Config picture;
        PaneTerminal* pane = nullptr; ///< the one window's console; null beside a terminal
        FrameObserver onFrame;
    };

    explicit WindowThread(Mode m) : mode_(std::move(m)) {}
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;
    /// A kind of window calls stop() in its own destructor, while its hooks still exist.
    virtual ~WindowThread() = default;

    /// Opens the window on a thread of its own; false, with `error` set, when it cannot.
    bool start(std::string& error);
    /// Closes the window and returns when its thread has ended (the game's side); false
    /// when the display was lost and the thread waits for the program's end instead.
    bool stop();
    /// Stops `w`, and keeps it to the end of the program when its thread cannot end.
    static void keepIfStuck(std::unique_ptr<WindowThread> w);
    /// The player ended the game in the window, or the display was lost.
    bool endsGame() const;
    /// The player ended the game in the window.
    bool endedByPlayer() const { return gameEnded_.load(); }
    /// `pane` is closed when the display is lost (null: none any more).
    static void closePaneOnLoss(PaneTerminal* pane);

    // ---- The game's side ----

    /// The picture or the pane changed: show it within one display frame.
    void changed();
    /// From now on the window shows `g`'s picture.
    void attach(Graph& g);
    /// The picture goes; its area shows nothing. Once this returns the window no longer
    /// reads the Graph.
    void detach();
    /// The size the next picture in this window takes.
    std::pair<int, int> pictureSize() const;
    /// From now on every picture takes the size of the first one attached after this.
    void keepFirstPictureSize() { keepFirst_ = true; }
    /// pictureSize(), or the size kept.
    std::pair<int, int> nextPictureSize() const { return kept_.first > 0 ? kept_ : pictureSize(); }

protected:
    // ---- Hooks, all on the window thread ----

    /// The window's flags beyond SDL_WINDOW_HIDDEN, and the events it has no use for.
    virtual Uint32 prepare() = 0;
    /// The window is made at its opening size, not shown yet.
    virtual void made() {}
    /// The window is shown.
    virtual void shown() {}
    /// The window is about to be destroyed.
    virtual void closing() {}
    /// Whether the painter can paint this window's surface.
    virtual bool canPaint() const { return true; }
    /// A key, text or the desktop's quit; the window's own events are handled here.
    virtual void input(const SDL_Event&) {}
    /// The player closed the window.
    virtual void closeAsked() = 0;
    /// Where the picture goes in a window of `w` x `h`.
    virtual WindowLayout layout(int w, int h) const { return {{0, 0, w, h}, {}, 1}; }
    /// Paints the rest of the window after the picture (the whole of it when `whole`).
    virtual void paintRest(bool /*whole*/, const WindowLayout&, std::vector<SDL_Rect>& /*sent*/) {}

    /// The window thread ends after the events in hand.
    void finish() { closed_ = true; }
    /// The player has ended the game (the one window).
    void endGame() { gameEnded_ = true; }
    SDL_Window* window() const { return win_; }

    const Mode mode_;
    SurfacePainter painter_; ///< the window thread's

private:
    enum Wake : int { AWAKE, ASLEEP, WAKING, POSTED, STOP };

    /// --scale, or (0: not given) the factor chosen from the screen at opening.
    int scale() const {
        return std::clamp(mode_.picture.scale > 0 ? mode_.picture.scale : chosenScale_.load(), 1,
                          CHOSEN_SCALE_MAX);
    }
    void wakeOnRequest();
    bool settle(Wake to);
    void run(std::promise<std::string>& ready);
    struct Opening {
        int w = 0, h = 0;
        bool maximized = false;
    };
    Opening opening(const Desktop& d) const;
    std::string open();
    bool takeSurface(std::string& why);
    std::string failedWindow(const std::string& why) const;
    void showUntilDone();
    void handle(const SDL_Event& e);
    PixelRect takeDifferences(const std::uint8_t* from, int width, PixelRect drawn);
    void present();

    std::thread thread_; ///< the window thread
    std::thread waker_;  ///< started and joined by the window thread
    std::atomic<bool> pending_{false};
    std::atomic<bool> gameEnded_{false};
    bool ended_ = false; ///< the window thread has ended; guarded by the loss lock
    std::atomic<int> wake_{AWAKE};
    Uint32 wakeType_ = 0;             ///< set before the waker starts
    int openW_ = 0, openH_ = 0;       ///< the client size asked for at opening
    std::atomic<int> chosenScale_{1}; ///< the one window's factor without --scale
    bool keepFirst_ = false;          ///< the game's own, as is kept_
    std::pair<int, int> kept_{0, 0};
    std::atomic<int> areaW_{0}, areaH_{0}; ///< the window's present client size
    std::mutex attached_;                  ///< guards graph_ and clearPicture_
    Graph* graph_ = nullptr;
    bool clearPicture_ = false;

    // The window thread's own.
    SDL_Window* win_ = nullptr;
    PixelBuffer copy_; ///< the picture as last taken from the game
    int copyW_ = 0, copyH_ = 0;
    bool closed_ = false, whole_ = true, resized_ = false;
};

/// A battle's picture in a window: attached at its first drawing call, which comes once
/// InitGraph has made it. Beside a terminal the window is the battle's own and closes
/// with it; in the one window the picture is taken away and its area shows nothing.
class PictureInWindow : public Presenter {
public:
    PictureInWindow(Graph& g, WindowThread& w, std::unique_ptr<WindowThread> own = {})
        : g_(g), window_(w), own_(std::move(own)) {}
    ~PictureInWindow() override;
    void changed() override;
    std::pair<int, int> clientSize() const override { return window_.nextPictureSize(); }

private:
    Graph& g_;
    WindowThread& window_;
    std::unique_ptr<WindowThread> own_;
    bool attached_ = false;
};

/// SDL's settings both windows want, before SDL's video starts.
void quietHints(bool oneWindow);

} // namespace gs::sdl
