// The graphics window: an SDL2 window with a thread of its own that keeps showing the
// picture while the game sleeps in Delay or waits at the console.
//
// The window thread owns everything SDL and is the only place that handles its events.
// It sleeps in SDL_WaitEvent until the desktop or the game has something for it, so a
// game waiting for the player costs nothing. When the picture has changed it copies the
// changed rectangle under the picture lock (the game is held up only for that copy),
// converts it into the window surface and sends only that rectangle to the display, at
// most once per display frame; the whole picture only when the window needs it (shown,
// exposed, resized). The game never calls SDL: a drawing call marks the picture changed,
// and only when the window thread is asleep does it ask a third thread, the waker, to
// post the event that wakes it.
#include "platform/sdl/window.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <semaphore>
#include <span>
#include <thread>
#include <vector>

#include "platform/picture_view.h"
#include "platform/sdl/audio.h"
#include "platform/sdl/frames_shown.h"
#include "platform/sdl/surface_painter.h"

namespace gs {

namespace {

using namespace sdl;
using Instant = std::chrono::steady_clock::time_point;

const char* const BATTLE_TITLE = "Graph window application";
/// The window shows at most one frame per display frame of a 60 Hz screen.
constexpr std::chrono::microseconds FRAME{16667};

std::atomic<std::uint64_t> shownFrames{0};
std::atomic<std::uint64_t> presentNanos{0};

void quietHints(bool oneWindow) {
    // Beside a terminal the player types there: showing the window must not take the focus.
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, oneWindow ? "0" : "1");
    // Ctrl+C in the terminal must still end the game, not become a window event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
#ifdef SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
#endif
    // The window surface in plain memory, sent by rectangle. Without this SDL draws the
    // surface through a whole-window OpenGL texture, which on a desktop without a GPU
    // driver costs 10 to 15 ms of CPU a frame.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The console owns the terminal: SDL's own messages must not land in its lines.
    SDL_LogSetOutputFunction([](void*, int, SDL_LogPriority, const char*) {}, nullptr);
}

/// Without SDL_VIDEODRIVER, SDL would fall back to its invisible "offscreen" driver where
/// there is no display, and the battle would be played unseen. Only the drivers that show
/// a window are offered: Wayland only when a compositor is named and can be found, since
/// libwayland writes its complaints straight into the console's lines.
void offerVisibleDriversOnly() {
    if (std::getenv("SDL_VIDEODRIVER")) return; // the player's choice stands
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool compositor =
        wayland && *wayland && (wayland[0] == '/' || std::getenv("XDG_RUNTIME_DIR"));
    SDL_SetHint(SDL_HINT_VIDEODRIVER, compositor ? "x11,wayland" : "x11");
}

/// Xlib's error handler before ours.
XErrorHandler xlibHandler = nullptr;

/// SDL wakes a window thread that waits for events by sending its window an event over a
/// second X connection of its own. One sent just before the window is destroyed can reach
/// the X server after the window is gone; the server answers BadWindow, and Xlib's own
/// handler would end the program for a wake-up nobody needs any more. Every other error
/// goes to the handler there was.
int ignoreLateWakeUps(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return xlibHandler ? xlibHandler(display, error) : 0;
}

/// Installs ignoreLateWakeUps once, when SDL shows windows through X. Xlib is SDL's
/// library: it is reached where SDL loaded it, and without it there is nothing to do.
void forgiveLateWakeUps(const char* driver) {
    static std::once_flag once;
    if (!driver || std::string(driver) != "x11") return;
    std::call_once(once, [] {
        using SetHandler = XErrorHandler (*)(XErrorHandler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, "XSetErrorHandler")))
            xlibHandler = set(ignoreLateWakeUps);
    });
}

/// SDL's invisible drivers count only when SDL_VIDEODRIVER asked for them.
bool visibleOrAskedFor(const char* driver) {
    if (!driver) return false;
    const std::string name = driver;
    if (name != "offscreen" && name != "dummy" && name != "evdev") return true;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked && std::string(asked).find(name) != std::string::npos;
}

/// The pane's key for an SDL key that gives no text; nothing for a key that does (its
/// text comes as text input) or that the game has no use for.
std::optional<PaneKey> paneKey(SDL_Keycode key) {
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return PaneKey::Enter;
    case SDLK_BACKSPACE: return PaneKey::Backspace;
    case SDLK_ESCAPE: return PaneKey::Escape;
    case SDLK_LEFT: return PaneKey::Left;
    case SDLK_RIGHT: return PaneKey::Right;
    case SDLK_HOME: return PaneKey::Home;
    case SDLK_END: return PaneKey::End;
    case SDLK_UP: return PaneKey::Up;
    case SDLK_DOWN: return PaneKey::Down;
    case SDLK_PAGEUP: return PaneKey::PageUp;
    case SDLK_PAGEDOWN: return PaneKey::PageDown;
    case SDLK_INSERT: return PaneKey::Insert;
    case SDLK_DELETE: return PaneKey::Delete;
    case SDLK_F1: return PaneKey::F1;
    case SDLK_F2: return PaneKey::F2;
    case SDLK_F3: return PaneKey::F3;
    case SDLK_F4: return PaneKey::F4;
    default: return std::nullopt;
    }
}

Desktop desktopOf(SDL_Window* win) {
    Desktop d;
    SDL_Rect r{};
    if (SDL_GetDisplayBounds(0, &r) == 0) d.screenW = r.w, d.screenH = r.h;
    if (SDL_GetDisplayUsableBounds(0, &r) == 0)
        d.usableW = r.w, d.usableH = r.h;
    else
        d.usableW = d.screenW, d.usableH = d.screenH;
    int t = 0, l = 0, b = 0, rt = 0;
    if (SDL_GetWindowBordersSize(win, &t, &l, &b, &rt) == 0)
        d.top = t, d.left = l, d.bottom = b, d.right = rt;
    return d;
}

/// The window: SDL lives on its thread. It shows the picture of the Graph attached to it
/// and, in the one window, the console's pane.
class SdlWindow {
public:
    struct Mode {
        std::string title = BATTLE_TITLE;
        Graph::Config picture;
        PaneTerminal* pane = nullptr; ///< the one window's console; null beside a terminal
        std::function<void()> onCloseOrCtrlC;
    };

    explicit SdlWindow(Mode m) : mode_(std::move(m)) {
        if (mode_.pane) {
            panePainter_.emplace(mode_.pane->grid());
            // Set before the game writes to the pane, and cleared only from the game's side:
            // the listener runs on the game's thread.
            mode_.pane->grid().setChangeListener([this] { changed(); });
        }
    }
    ~SdlWindow() {
        quit_ = true;
        wakeups_.release();
        wake();
        if (thread_.joinable()) thread_.join();
        if (waker_.joinable()) waker_.join();
        if (mode_.pane) mode_.pane->grid().setChangeListener({});
    }

    bool start(std::string& error) {
        // The thread owns the promise too: it may still be inside set_value when get()
        // returns here, so the promise must outlive this frame.
        auto ready = std::make_shared<std::promise<std::string>>();
        std::future<std::string> result = ready->get_future();
        thread_ = std::thread([this, ready] { run(*ready); });
        error = result.get();
        if (error.empty()) {
            waker_ = std::thread([this] { wakeOnRequest(); });
            return true;
        }
        thread_.join();
        return false;
    }

    // ---- The game's side ----

    /// The picture or the pane changed: show it within one display frame.
    void changed() {
        pending_.store(true); // pairs with asleep_ in the window thread's loop
        if (asleep_.load() && !wakeSent_.exchange(true)) wakeups_.release();
    }
    /// From now on the window shows `g`'s picture.
    void attach(Graph& g) {
        {
            std::lock_guard<std::mutex> lock(attached_);
            graph_ = &g;
        }
        changed();
    }
    /// The picture goes; its area shows nothing. Once this returns the window no longer
    /// reads the Graph.
    void detach() {
        {
            std::lock_guard<std::mutex> lock(attached_);
            graph_ = nullptr;
            clearPicture_ = true;
        }
        changed();
    }
    /// The size the next picture in this window takes.
    std::pair<int, int> pictureSize() const {
        const Graph::Config& c = mode_.picture;
        if (c.sizeGiven) return {c.width, c.height};
        if (!mode_.pane) return {std::max(1, openW_ / scale()), std::max(1, openH_ / scale())};
        // The one window can be made small; the battle still needs its rows.
        const WindowLayout l =
            oneWindowLayout(areaW_.load(), areaH_.load(), mode_.pane->cols(), mode_.pane->rows());
        return {std::max(SMALLEST_CHOSEN_W, l.picture.width / scale()),
                std::max(SMALLEST_CHOSEN_H, l.picture.height / scale())};
    }

private:
    int scale() const { return std::clamp(mode_.picture.scale, 1, 8); }

    /// The waker: posts the wake-up event whenever the game asks, so that SDL's locks and
    /// the display connection never hold the game up.
    void wakeOnRequest() {
        for (;;) {
            wakeups_.acquire();
            if (quit_) return;
            wake();
        }
    }

    void wake() {
        std::lock_guard<std::mutex> lock(life_);
        if (!sdlUp_) return;
        SDL_Event e{};
        e.type = wakeType_;
        SDL_PushEvent(&e);
    }

    // ---- The window thread ----

    void run(std::promise<std::string>& ready) {
        std::string error = open();
        if (!error.empty()) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            ready.set_value(error);
        } else {
            ready.set_value("");
            showUntilDone();
            {
                std::lock_guard<std::mutex> lock(life_);
                sdlUp_ = false;
            }
            if (mode_.pane) SDL_StopTextInput();
            SDL_DestroyWindow(win_);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        // SDL keeps per-thread data (its error text) that only this call frees for a
        // thread it did not create; every level's window has a thread of its own.
        SDL_TLSCleanup();
    }

    /// The window's client size at opening, and whether it opens maximized.
    struct Opening {
        int w = 0, h = 0;
        bool maximized = false;
    };

    Opening opening(const Desktop& d) const {
        const Graph::Config& c = mode_.picture;
        const int largestW = std::max(1, d.usableW - d.left - d.right);
        const int largestH = std::max(1, d.usableH - d.top - d.bottom);
        if (!c.sizeGiven) {
            const WindowSize size = chooseWindowSize(d);
            return {size.maxX + 1, size.maxY + 1, size.maximized};
        }
        int w = c.width * scale(), h = c.height * scale();
        if (mode_.pane) {
            // Room for the pane below the picture, at the cell size that width gives it.
            const int cols = mode_.pane->cols(), rows = mode_.pane->rows();
            w = std::max(w, PaneRenderer::cellWidth(1) * cols);
            for (int paneScale = 1; paneScale <= 8; ++paneScale) {
                const int withPane =
                    c.height * scale() + PaneRenderer::cellHeight(paneScale) * rows;
                if (oneWindowLayout(w, withPane, cols, rows).paneScale == paneScale) {
                    h = withPane;
                    break;
                }
            }
        }
        // A picture the screen cannot hold opens in the largest window and is shown whole.
        if (w > largestW || h > largestH) {
            if (mode_.pane) return {largestW, largestH, false};
            const PixelArea fit = fitPicture(w, h, largestW, largestH);
            return {fit.width, fit.height, false};
        }
        return {w, h, false};
    }

    /// Opens the window; the error text when it cannot.
    std::string open() {
        quietHints(mode_.pane != nullptr);
        offerVisibleDriversOnly();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return std::string("Window registration failed (") + SDL_GetError() + ")";
        const char* driver = SDL_GetCurrentVideoDriver();
        forgiveLateWakeUps(driver);
        if (!visibleOrAskedFor(driver))
            return std::string("Window registration failed (no display; SDL offers only its "
                               "invisible \"") +
                   (driver ? driver : "") + "\" driver)";
        if (!mode_.pane) {
            SDL_EventState(SDL_TEXTINPUT, SDL_DISABLE);
            SDL_EventState(SDL_KEYDOWN, SDL_DISABLE);
        }
        SDL_EventState(SDL_KEYUP, SDL_DISABLE);
        const Uint32 flags = SDL_WINDOW_HIDDEN | (mode_.pane ? SDL_WINDOW_RESIZABLE : 0);
        win_ = SDL_CreateWindow(mode_.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                640, 480, flags);
        if (!win_) return failedWindow(SDL_GetError());
        const Opening size = opening(desktopOf(win_));
        const int w = std::clamp(size.w, 1, 32767), h = std::clamp(size.h, 1, 32767);
        openW_ = w;
        openH_ = h;
        SDL_SetWindowSize(win_, w, h);
        if (mode_.pane)
            SDL_SetWindowMinimumSize(win_, PaneRenderer::cellWidth(1) * mode_.pane->cols(),
                                     PaneRenderer::cellHeight(1) * mode_.pane->rows() + 100);
        SDL_Rect r{};
        if (SDL_GetDisplayUsableBounds(0, &r) == 0)
            SDL_SetWindowPosition(win_, r.x + std::max(0, (r.w - w) / 2),
                                  r.y + std::max(0, (r.h - h) / 2));
        else
            SDL_SetWindowPosition(win_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        if (size.maximized) SDL_MaximizeWindow(win_);
        SDL_ShowWindow(win_);
        if (mode_.pane) {
            SDL_RaiseWindow(win_);
            SDL_StartTextInput();
        }
        std::string why;
        if (!takeSurface(why)) {
            SDL_DestroyWindow(win_);
            win_ = nullptr;
            return failedWindow(why);
        }
        std::lock_guard<std::mutex> lock(life_);
        wakeType_ = SDL_RegisterEvents(1);
        sdlUp_ = wakeType_ != static_cast<Uint32>(-1);
        return {};
    }

    /// Paints into the window's present surface; false, with the reason, when it cannot.
    bool takeSurface(std::string& why) {
        SDL_Surface* surface = SDL_GetWindowSurface(win_);
        if (painter_.use(surface) && (!mode_.pane || painter_.fourBytes())) {
            // Where a new picture comes from while no battle runs: the window's present area.
            areaW_ = painter_.width();
            areaH_ = painter_.height();
            return true;
        }
        why = surface ? "a pixel format the window cannot show" : SDL_GetError();
        return false;
    }

    std::string failedWindow(const std::string& why) const {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, mode_.title.c_str(),
                                 "Window creation failed", nullptr);
        return "Window creation failed (" + why + ")";
    }

    /// Shows the picture until the game closes the window or the player does.
    void showUntilDone() {
        Instant nextFrame{};
        SDL_Event e;
        for (;;) {
            while (SDL_PollEvent(&e)) handle(e);
            if (quit_ || closed_) return;
            if (pending_.exchange(false) || whole_) {
                // Wait for the frame's turn, serving the desktop meanwhile; the game goes on
                // drawing and need not wake us.
                bool done = false;
                for (Instant now = std::chrono::steady_clock::now(); now < nextFrame && !done;
                     now = std::chrono::steady_clock::now()) {
                    const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextFrame - now);
                    if (SDL_WaitEventTimeout(&e, static_cast<int>(left.count()))) handle(e);
                    done = quit_ || closed_;
                }
                if (done) return;
                // After a quiet spell the first change is shown at once; during an
                // animation the frames keep to their grid.
                const Instant now = std::chrono::steady_clock::now();
                nextFrame = now - nextFrame > FRAME ? now + FRAME : nextFrame + FRAME;
                present();
                continue;
            }
            asleep_.store(true); // pairs with pending_ in changed()
            if (pending_.load() || quit_) {
                asleep_.store(false);
                continue;
            }
            if (SDL_WaitEvent(&e)) handle(e);
            asleep_.store(false);
            wakeSent_.store(false);
        }
    }

    void handle(const SDL_Event& e) {
        if (e.type == SDL_QUIT) {
            if (mode_.pane) endGame();
            return;
        }
        if (mode_.pane && (e.type == SDL_TEXTINPUT || e.type == SDL_KEYDOWN)) {
            typed(e);
            return;
        }
        if (e.type != SDL_WINDOWEVENT || e.window.windowID != SDL_GetWindowID(win_)) return;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            if (mode_.pane) {
                endGame();
            } else {
                // The player closed the battle's window: the game plays on without it, and
                // this thread ends (with no window left SDL would poll for events a
                // thousand times a second).
                closed_ = true;
            }
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            resized_ = true;
            whole_ = true;
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: whole_ = true; break;
        default: break;
        }
    }

    /// A key in the one window: text goes to the pane as typed bytes, the editing keys as
    /// keys; Ctrl+C ends the game as it does in a terminal.
    void typed(const SDL_Event& e) {
        if (soundKey(e)) return; // the sound's mute key and key clicks: never the game's
        if (e.type == SDL_TEXTINPUT) {
            mode_.pane->typeText(e.text.text);
            return;
        }
        const SDL_Keysym k = e.key.keysym;
        if ((k.mod & KMOD_CTRL) && k.sym == SDLK_c) {
            endGame();
            return;
        }
        if (k.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) return;
        if (k.sym == SDLK_TAB) {
            mode_.pane->typeText("\t"); // as a terminal sends it
            return;
        }
        if (auto key = paneKey(k.sym)) mode_.pane->pressKey(*key);
    }

    void endGame() {
        // The program's handler first: while the game runs it ends the program at once, as
        // Ctrl+C in a terminal, before a game woken by the closed pane could end it another
        // way. Once the game is over it returns, and the pane's last wait ends.
        if (mode_.onCloseOrCtrlC) mode_.onCloseOrCtrlC();
        closed_ = true;
        mode_.pane->close();
    }

    /// Copies rectangle `drawn` of the game's picture (`width` pixels a row) into the
    /// window's copy; returns the part that really differs. A shot begins by clearing the
    /// picture and drawing the same field again: of that whole rectangle only the last
    /// shot's trail and blast need showing, and at 4K a whole present costs milliseconds.
    PixelRect takeDifferences(const std::uint8_t* from, int width, PixelRect drawn) {
        PixelRect differs;
        const auto span = static_cast<std::size_t>(drawn.width());
        for (int y = drawn.top; y <= drawn.bottom; ++y) {
            const std::size_t at = static_cast<std::size_t>(y) * width + drawn.left;
            std::uint8_t* mine = copy_.data() + at;
            const std::uint8_t* theirs = from + at;
            if (std::memcmp(mine, theirs, span) == 0) continue;
            std::size_t first = 0, last = span - 1;
            while (mine[first] == theirs[first]) ++first;
            while (mine[last] == theirs[last]) --last;
            std::memcpy(mine + first, theirs + first, last - first + 1);
            differs.add(PixelRect{drawn.left + static_cast<int>(first), y,
                                  drawn.left + static_cast<int>(last), y});
        }
        return differs;
    }

    /// Shows what changed since the last frame, or the whole window when it needs it.
    void present() {
        const auto start = std::chrono::steady_clock::now();
        if (resized_) {
            resized_ = false;
            std::string why;
            if (!takeSurface(why)) return;
        }
        const int sw = painter_.width(), sh = painter_.height();
        WindowLayout layout{{0, 0, sw, sh}, {}, 1};
        if (mode_.pane) layout = oneWindowLayout(sw, sh, mode_.pane->cols(), mode_.pane->rows());
        const PixelArea& area = layout.picture;
        std::vector<SDL_Rect> sent;
        bool wholePicture = whole_;
        PixelRect changed;
        {
            std::lock_guard<std::mutex> attached(attached_);
            if (clearPicture_) {
                clearPicture_ = false;
                copyW_ = copyH_ = 0;
                wholePicture = true;
            }
            if (graph_) {
                std::lock_guard<std::mutex> lock(graph_->pictureLock());
                const int pw = graph_->width(), ph = graph_->height();
                const std::span<const std::uint8_t> from = graph_->pixels();
                if (pw > 0 && ph > 0 &&
                    from.size() == static_cast<std::size_t>(pw) * static_cast<std::size_t>(ph)) {
                    changed = graph_->takeChanged();
                    if (pw != copyW_ || ph != copyH_) {
                        copy_.assignZeroed(from.size());
                        copyW_ = pw;
                        copyH_ = ph;
                        changed = PixelRect{0, 0, pw - 1, ph - 1};
                        wholePicture = true;
                    }
                    changed = takeDifferences(from.data(), pw, changed);
                }
            }
        }
        PixelArea shown = fitPicture(copyW_, copyH_, area.width, area.height);
        shown.x += area.x;
        shown.y += area.y;
        if (wholePicture) {
            // Bars around a picture that does not fill its area, and nothing between battles.
            painter_.clear(area);
            if (copyW_ > 0)
                painter_.paint(copy_.data(), copyW_, copyH_,
                               PixelRect{0, 0, copyW_ - 1, copyH_ - 1}, shown, area);
            sent.push_back(SDL_Rect{area.x, area.y, area.width, area.height});
        } else if (copyW_ > 0) {
            const SDL_Rect r = painter_.paint(copy_.data(), copyW_, copyH_, changed, shown, area);
            if (r.w > 0 && r.h > 0) sent.push_back(r);
        }
        if (mode_.pane) {
            if (whole_) {
                panePainter_->invalidate();
                painter_.clear(PixelArea{0, area.height, sw, sh - area.height});
                sent.push_back(SDL_Rect{0, area.height, sw, sh - area.height});
            }
            const SDL_Rect r = painter_.paintPane(
                *panePainter_, layout.pane,
                PaneLook{layout.paneScale, colour::LightGrey, colour::Black, true});
            if (r.w > 0 && r.h > 0) sent.push_back(r);
        }
        const bool everything = whole_;
        whole_ = false;
        if (everything) {
            SDL_UpdateWindowSurface(win_);
        } else if (!sent.empty()) {
            SDL_UpdateWindowSurfaceRects(win_, sent.data(), static_cast<int>(sent.size()));
        } else {
            return;
        }
        const auto took = std::chrono::steady_clock::now() - start;
        presentNanos.store(static_cast<std::uint64_t>(
                               std::chrono::duration_cast<std::chrono::nanoseconds>(took).count()),
                           std::memory_order_relaxed);
        shownFrames.fetch_add(1, std::memory_order_release);
    }

    Mode mode_;
    std::thread thread_; ///< the window thread
    std::thread waker_;
    std::counting_semaphore<> wakeups_{0}; ///< the game's requests to the waker
    std::atomic<bool> quit_{false};
    std::atomic<bool> pending_{false};  ///< something changed since the window last looked
    std::atomic<bool> asleep_{false};   ///< the window thread is (about to be) in SDL_WaitEvent
    std::atomic<bool> wakeSent_{false}; ///< a wake-up is on its way; no need for another
    std::mutex life_; ///< guards sdlUp_ and wakeType_ against the thread shutting SDL down
    bool sdlUp_ = false;
    Uint32 wakeType_ = 0;
    std::atomic<int> openW_{0}, openH_{0}; ///< the client size asked for at opening
    std::atomic<int> areaW_{0}, areaH_{0}; ///< the window's present client size
    std::mutex attached_;                  ///< guards graph_ and clearPicture_
    Graph* graph_ = nullptr;
    bool clearPicture_ = false;

    // The window thread's own.
    SDL_Window* win_ = nullptr;
    SurfacePainter painter_;
    std::optional<PaneRenderer> panePainter_; ///< the one window's
    PixelBuffer copy_;                        ///< the picture as last taken from the game
    int copyW_ = 0, copyH_ = 0;
    bool closed_ = false, whole_ = true, resized_ = false;
};

/// A battle's picture in a window: attached at its first drawing call, which comes once
/// InitGraph has made it. Beside a terminal the window is the battle's own and closes
/// with it; in the one window the picture is taken away and its area shows nothing.
class PictureInWindow : public Presenter {
public:
    PictureInWindow(Graph& g, SdlWindow& w, std::unique_ptr<SdlWindow> own = {})
        : g_(g), window_(w), own_(std::move(own)) {}
    ~PictureInWindow() override {
        if (attached_ && !own_) window_.detach();
    }
    void changed() override {
        if (!attached_) window_.attach(g_);
        attached_ = true;
        window_.changed();
    }
    std::pair<int, int> clientSize() const override { return window_.pictureSize(); }

private:
    Graph& g_;
    SdlWindow& window_;
    std::unique_ptr<SdlWindow> own_;
    bool attached_ = false;
};

} // namespace

class GameWindow::Impl {
public:
    explicit Impl(SdlWindow::Mode m) : window(std::move(m)) {}
    SdlWindow window;
};

GameWindow::GameWindow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
GameWindow::~GameWindow() = default;

std::unique_ptr<GameWindow> GameWindow::open(Setup setup, std::string& error) {
    auto impl = std::make_unique<Impl>(SdlWindow::Mode{
        std::move(setup.title), setup.picture, setup.pane, std::move(setup.onCloseOrCtrlC)});
    if (!impl->window.start(error)) return nullptr;
    return std::unique_ptr<GameWindow>(new GameWindow(std::move(impl)));
}

Graph::WindowFactory GameWindow::pictureFactory() {
    SdlWindow* window = &impl_->window;
    return [window](Graph& g, const Graph::Config&, std::string&) -> std::unique_ptr<Presenter> {
        return std::make_unique<PictureInWindow>(g, *window);
    };
}

WindowLayout oneWindowLayout(int width, int height, int cols, int rows) {
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    const int paneScale =
        std::max(1, std::min(width / (PaneRenderer::cellWidth(1) * cols),
                             height * 2 / 5 / (PaneRenderer::cellHeight(1) * rows)));
    const int paneW = PaneRenderer::cellWidth(paneScale) * cols;
    const int paneH = std::min(height, PaneRenderer::cellHeight(paneScale) * rows);
    WindowLayout l;
    l.paneScale = paneScale;
    l.picture = {0, 0, std::max(0, width), std::max(0, height - paneH)};
    l.pane = {std::max(0, (width - paneW) / 2), height - paneH, std::min(paneW, width), paneH};
    return l;
}

std::uint64_t framesShown() { return shownFrames.load(std::memory_order_acquire); }
std::uint64_t lastPresentNanos() { return presentNanos.load(std::memory_order_relaxed); }

WindowSize chooseWindowSize(const Desktop& d) {
    struct Entry {
        int x, y;
        bool maximized;
    };
    const int largestX = d.screenW - d.left - d.right - 1;
    const int largestY = d.screenH - d.top - d.bottom - 1;
    // A maximized window loses its side and bottom frames but keeps its caption.
    const int caption = std::max(0, d.top - d.bottom);
    std::vector<Entry> list;
    for (auto [x, y] : {std::pair{639, 399}, {639, 479}, {799, 599}, {1023, 768}, {1279, 1023}})
        if (x <= largestX && y <= largestY) list.push_back({x, y, false});
    list.push_back({largestX, largestY, false});
    list.push_back({d.usableW - 1, d.usableH - caption - 1, true});
    // Ordered by x, then y; of equal entries the later one stands.
    std::stable_sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) {
        return a.x != b.x ? a.x < b.x : a.y < b.y;
    });
    const Entry& e = list.back();
    if (e.x < 1 || e.y < 1) return {639, 479, false}; // a desktop that reports nothing usable
    return {e.x, e.y, e.maximized};
}

Graph::WindowFactory sdlWindowFactory() {
    return [](Graph& g, const Graph::Config& c, std::string& error) -> std::unique_ptr<Presenter> {
        auto w = std::make_unique<SdlWindow>(SdlWindow::Mode{BATTLE_TITLE, c, nullptr, {}});
        if (!w->start(error)) return nullptr;
        SdlWindow& window = *w;
        return std::make_unique<PictureInWindow>(g, window, std::move(w));
    };
}

} // namespace gs
