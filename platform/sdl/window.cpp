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

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <semaphore>
#include <thread>
#include <vector>

#include "platform/sdl/frames_shown.h"
#include "platform/sdl/surface_painter.h"

namespace gs {

namespace {

using namespace sdl;
using Instant = std::chrono::steady_clock::time_point;

const char* const TITLE = "Graph window application";
/// The window shows at most one frame per display frame of a 60 Hz screen.
constexpr std::chrono::microseconds FRAME{16667};

std::atomic<std::uint64_t> shownFrames{0};

void quietHints() {
    // The player types in the terminal: showing the window must not take the focus.
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
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

/// SDL's invisible drivers count only when SDL_VIDEODRIVER asked for them.
bool visibleOrAskedFor(const char* driver) {
    if (!driver) return false;
    const std::string name = driver;
    if (name != "offscreen" && name != "dummy" && name != "evdev") return true;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked && std::string(asked).find(name) != std::string::npos;
}

class SdlWindow : public Presenter {
public:
    SdlWindow(Graph& g, const Graph::Config& c) : g_(g), cfg_(c) {}
    ~SdlWindow() override {
        quit_ = true;
        wakeups_.release();
        wake();
        if (thread_.joinable()) thread_.join();
        if (waker_.joinable()) waker_.join();
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

    void changed() override {
        pending_.store(true); // pairs with asleep_ in the window thread's loop
        if (asleep_.load() && !wakeSent_.exchange(true)) wakeups_.release();
    }
    std::pair<int, int> clientSize() const override { return {w_, h_}; }

private:
    // ---- The game's side ----

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
            SDL_DestroyWindow(win_);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        // SDL keeps per-thread data (its error text) that only this call frees for a
        // thread it did not create; every level's window has a thread of its own.
        SDL_TLSCleanup();
    }

    /// Opens the window; the error text when it cannot.
    std::string open() {
        quietHints();
        offerVisibleDriversOnly();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return std::string("Window registration failed (") + SDL_GetError() + ")";
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!visibleOrAskedFor(driver))
            return std::string("Window registration failed (no display; SDL offers only its "
                               "invisible \"") +
                   (driver ? driver : "") + "\" driver)";
        SDL_EventState(SDL_TEXTINPUT, SDL_DISABLE);
        SDL_EventState(SDL_KEYDOWN, SDL_DISABLE);
        SDL_EventState(SDL_KEYUP, SDL_DISABLE);
        win_ = SDL_CreateWindow(TITLE, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                SDL_WINDOW_HIDDEN);
        if (!win_) return failedWindow(SDL_GetError());
        WindowSize size{cfg_.width - 1, cfg_.height - 1, false};
        if (!cfg_.sizeGiven) size = chooseWindowSize(desktop(win_));
        w_ = std::clamp(size.maxX + 1, 1, 32767);
        h_ = std::clamp(size.maxY + 1, 1, 32767);
        SDL_SetWindowSize(win_, w_, h_);
        SDL_Rect r{};
        if (SDL_GetDisplayUsableBounds(0, &r) == 0)
            SDL_SetWindowPosition(win_, r.x + std::max(0, (r.w - w_) / 2),
                                  r.y + std::max(0, (r.h - h_) / 2));
        else
            SDL_SetWindowPosition(win_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        if (size.maximized) SDL_MaximizeWindow(win_);
        SDL_ShowWindow(win_);
        SDL_Surface* surface = SDL_GetWindowSurface(win_);
        if (!painter_.use(surface)) {
            const std::string why =
                surface ? "a pixel format the window cannot show" : SDL_GetError();
            SDL_DestroyWindow(win_);
            win_ = nullptr;
            return failedWindow(why);
        }
        copy_.assignZeroed(static_cast<std::size_t>(w_) * static_cast<std::size_t>(h_));
        std::lock_guard<std::mutex> lock(life_);
        wakeType_ = SDL_RegisterEvents(1);
        sdlUp_ = wakeType_ != static_cast<Uint32>(-1);
        return {};
    }

    static std::string failedWindow(const std::string& why) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, TITLE, "Window creation failed", nullptr);
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
                for (Instant now = std::chrono::steady_clock::now(); now < nextFrame;
                     now = std::chrono::steady_clock::now()) {
                    const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextFrame - now);
                    if (SDL_WaitEventTimeout(&e, static_cast<int>(left.count()))) handle(e);
                    if (quit_ || closed_) return;
                }
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
        if (e.type != SDL_WINDOWEVENT || e.window.windowID != SDL_GetWindowID(win_)) return;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            // The player closed the window: the game plays on without it, and this thread
            // ends (with no window left SDL would poll for events a thousand times a second).
            closed_ = true;
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

    /// Shows what changed since the last frame, or the whole window when it needs it.
    void present() {
        if (resized_) {
            resized_ = false;
            if (!painter_.use(SDL_GetWindowSurface(win_))) return;
        }
        PixelRect changed;
        {
            std::lock_guard<std::mutex> lock(g_.pictureLock());
            // Until the game has opened its picture in this window there is nothing to take.
            if (g_.width() == w_ && g_.height() == h_ && g_.pixels().size() == copy_.size()) {
                changed = g_.takeChanged();
                const std::uint8_t* from = g_.pixels().data();
                for (int y = changed.top; y <= changed.bottom; ++y) {
                    const std::size_t at = static_cast<std::size_t>(y) * w_ + changed.left;
                    std::memcpy(copy_.data() + at, from + at,
                                static_cast<std::size_t>(changed.width()));
                }
            }
        }
        if (whole_) {
            whole_ = false;
            // A window larger than the picture (maximized by the desktop) shows black
            // around it; a smaller one shows its top-left part.
            int sw = 0, sh = 0;
            SDL_GetWindowSize(win_, &sw, &sh);
            painter_.clear(SDL_Rect{w_, 0, std::max(0, sw - w_), sh});
            painter_.clear(SDL_Rect{0, h_, w_, std::max(0, sh - h_)});
            painter_.paint(copy_.data(), w_, PixelRect{0, 0, w_ - 1, h_ - 1}, 0, 0);
            SDL_UpdateWindowSurface(win_);
        } else {
            const SDL_Rect area = painter_.paint(copy_.data(), w_, changed, 0, 0);
            if (area.w <= 0 || area.h <= 0) return;
            SDL_UpdateWindowSurfaceRects(win_, &area, 1);
        }
        shownFrames.fetch_add(1, std::memory_order_relaxed);
    }

    static Desktop desktop(SDL_Window* win) {
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

    Graph& g_;
    Graph::Config cfg_;
    std::thread thread_; ///< the window thread
    std::thread waker_;
    std::counting_semaphore<> wakeups_{0}; ///< the game's requests to the waker
    std::atomic<bool> quit_{false};
    std::atomic<bool> pending_{false};  ///< the picture changed since the window last looked
    std::atomic<bool> asleep_{false};   ///< the window thread is (about to be) in SDL_WaitEvent
    std::atomic<bool> wakeSent_{false}; ///< a wake-up is on its way; no need for another
    std::mutex life_; ///< guards sdlUp_ and wakeType_ against the thread shutting SDL down
    bool sdlUp_ = false;
    Uint32 wakeType_ = 0;
    int w_ = 0, h_ = 0; ///< the picture's size

    // The window thread's own.
    SDL_Window* win_ = nullptr;
    SurfacePainter painter_;
    PixelBuffer copy_; ///< the picture as last taken from the game
    bool closed_ = false, whole_ = true, resized_ = false;
};

} // namespace

std::uint64_t framesShown() { return shownFrames.load(std::memory_order_relaxed); }

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
        auto w = std::make_unique<SdlWindow>(g, c);
        if (!w->start(error)) return nullptr;
        return w;
    };
}

} // namespace gs
