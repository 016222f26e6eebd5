// The window thread both kinds of window share: opening SDL's video and the window,
// sleeping until the desktop or the game has something for it, and showing the picture.
//
// It sleeps in SDL_WaitEvent until the desktop or the game has something for it, so a
// game waiting for the player costs nothing. When the picture has changed it copies the
// changed rectangle under the picture lock (the game is held up only for that copy),
// converts it into the window surface and sends only that rectangle to the display, at
// most once per display frame; the whole picture only when the window needs it (shown,
// exposed, resized). The threading rules are at the top of window_thread.h.
#include "frontend/sdl/window_thread.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
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

#include "frontend/sdl/surface_painter.h"
#include "picture/picture_view.h"
#include "system/runtime_error.h"

namespace gs::sdl {

namespace {

using Instant = std::chrono::steady_clock::time_point;

/// The window shows at most one frame per display frame of a 60 Hz screen.
constexpr std::chrono::microseconds FRAME{16667};

} // namespace

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

namespace {

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

/// Guards lostDisplay and the windows' end of their threads, which stop() waits for.
/// Never destroyed: a thread kept by the loss may outlive main.
std::mutex& lossLock = *new std::mutex;
std::condition_variable& lossOrEnd = *new std::condition_variable;
bool lostDisplay = false;
PaneTerminal* paneOfTheGame = nullptr; ///< closed when the display is lost

/// The X server is gone (the desktop's session ended, the server was killed). Xlib calls
/// this on whichever thread met the loss and ends the program when it returns: the game
/// would go on on its own thread, and whatever it wrote last would be lost. So the game
/// is told, through the pane it waits on and at its next drawing call, and this thread
/// waits for the program's end, which the game's own path brings.
int displayLostHandler(Display*) {
    {
        std::lock_guard<std::mutex> lock(lossLock);
        lostDisplay = true;
        if (paneOfTheGame) paneOfTheGame->close();
        lossOrEnd.notify_all();
    }
    for (;;) pause();
}

/// Installs ignoreLateWakeUps and displayLostHandler, once, before SDL's video first
/// starts: SDL keeps the handlers it finds and puts them back when its video stops, and
/// it stops only after closing its connections, where a late wake-up is answered. Xlib is
/// SDL's library, loaded here a little ahead of SDL; without it there is nothing to do.
void forgiveLateWakeUps() {
    static std::once_flag once;
    std::call_once(once, [] {
        void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_GLOBAL);
        if (!xlib) return;
        using SetHandler = XErrorHandler (*)(XErrorHandler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetErrorHandler")))
            xlibHandler = set(ignoreLateWakeUps);
        using SetIOHandler = XIOErrorHandler (*)(XIOErrorHandler);
        if (auto set = reinterpret_cast<SetIOHandler>(dlsym(xlib, "XSetIOErrorHandler")))
            set(displayLostHandler);
    });
}

/// Windows whose threads stay with a lost display: kept, never destroyed, to the end.
std::vector<WindowThread*>* keptWindows = new std::vector<WindowThread*>;

/// SDL's invisible drivers count only when SDL_VIDEODRIVER asked for them.
bool visibleOrAskedFor(const char* driver) {
    if (!driver) return false;
    const std::string name = driver;
    if (name != "offscreen" && name != "dummy" && name != "evdev") return true;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked && std::string(asked).find(name) != std::string::npos;
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

} // namespace

bool WindowThread::start(std::string& error) {
    // The thread owns the promise too: it may still be inside set_value when get()
    // returns here, so the promise must outlive this frame.
    auto ready = std::make_shared<std::promise<std::string>>();
    std::future<std::string> result = ready->get_future();
    thread_ = std::thread([this, ready] { run(*ready); });
    error = result.get();
    if (error.empty()) return true;
    thread_.join();
    return false;
}

bool WindowThread::stop() {
    if (!thread_.joinable()) return true;
    wake_.store(STOP);
    wake_.notify_all();
    std::unique_lock<std::mutex> lock(lossLock);
    lossOrEnd.wait(lock, [this] { return ended_ || lostDisplay; });
    if (!ended_) {
        // The thread waits in the display-lost handler for the program's end.
        thread_.detach();
        return false;
    }
    lock.unlock();
    thread_.join();
    return true;
}

void WindowThread::keepIfStuck(std::unique_ptr<WindowThread> w) {
    if (!w || w->stop()) return;
    std::lock_guard<std::mutex> lock(lossLock);
    keptWindows->push_back(w.release());
}

bool WindowThread::endsGame() const {
    if (gameEnded_.load()) return true;
    std::lock_guard<std::mutex> lock(lossLock);
    return lostDisplay;
}

void WindowThread::closePaneOnLoss(PaneTerminal* pane) {
    std::lock_guard<std::mutex> lock(lossLock);
    paneOfTheGame = pane;
}

void WindowThread::changed() {
    pending_.store(true); // pairs with the window thread's settling ASLEEP before it looks
    int asleep = ASLEEP;
    if (wake_.compare_exchange_strong(asleep, WAKING)) wake_.notify_all();
}

void WindowThread::attach(Graph& g) {
    if (keepFirst_ && kept_.first == 0) kept_ = {g.width(), g.height()};
    {
        std::lock_guard<std::mutex> lock(attached_);
        graph_ = &g;
    }
    changed();
}

void WindowThread::detach() {
    {
        std::lock_guard<std::mutex> lock(attached_);
        graph_ = nullptr;
        clearPicture_ = true;
    }
    changed();
}

/// Moves wake_ to `to` unless the window is to stop; false when it is.
bool WindowThread::settle(Wake to) {
    int now = wake_.load();
    while (now != STOP)
        if (wake_.compare_exchange_weak(now, to)) return true;
    return false;
}

/// The waker: posts the wake-up event whenever the game asks, so that SDL's locks and
/// the display connection never hold the game up; at STOP it posts a last one and ends.
void WindowThread::wakeOnRequest() {
    for (;;) {
        int now = wake_.load();
        while (now != WAKING && now != STOP) {
            wake_.wait(now);
            now = wake_.load();
        }
        if (now == WAKING && !wake_.compare_exchange_strong(now, POSTED) && now != STOP) continue;
        // With the display lost the window thread waits for the program's end, and never
        // joins this one: it waits too.
        if (now == STOP && displayLost())
            for (;;) pause();
        SDL_Event e{};
        e.type = wakeType_;
        SDL_PushEvent(&e);
        if (now == STOP) return;
    }
}

void WindowThread::run(std::promise<std::string>& ready) {
    std::string error = open();
    if (!error.empty()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        ready.set_value(error);
    } else {
        waker_ = std::thread([this] { wakeOnRequest(); });
        ready.set_value("");
        showUntilDone();
        // The waker posts while SDL is up: it ends before the window goes.
        wake_.store(STOP);
        wake_.notify_all();
        waker_.join();
        closing();
        SDL_DestroyWindow(win_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    // SDL keeps per-thread data (its error text) that only this call frees for a
    // thread it did not create; every level's window has a thread of its own.
    SDL_TLSCleanup();
    std::lock_guard<std::mutex> lock(lossLock);
    ended_ = true;
    lossOrEnd.notify_all();
}

std::string WindowThread::open() {
    quietHints(mode_.pane != nullptr);
    offerVisibleDriversOnly();
    forgiveLateWakeUps();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return std::string("Window registration failed (") + SDL_GetError() + ")";
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!visibleOrAskedFor(driver))
        return std::string("Window registration failed (no display; SDL offers only its "
                           "invisible \"") +
               (driver ? driver : "") + "\" driver)";
    SDL_EventState(SDL_KEYUP, SDL_DISABLE);
    const Uint32 flags = SDL_WINDOW_HIDDEN | prepare();
    win_ = SDL_CreateWindow(mode_.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                            640, 480, flags);
    if (!win_) return failedWindow(SDL_GetError());
    const Opening size = opening(desktopOf(win_));
    const int w = std::clamp(size.w, 1, 32767), h = std::clamp(size.h, 1, 32767);
    openW_ = w;
    openH_ = h;
    if (mode_.pane) { // the factor that shows the whole battle largest on this screen
        const PixelRect a = layout(w, h).picture;
        chosenScale_ = chooseScale(a.width, a.height);
    }
    SDL_SetWindowSize(win_, w, h);
    made();
    SDL_Rect r{};
    if (SDL_GetDisplayUsableBounds(0, &r) == 0)
        SDL_SetWindowPosition(win_, r.x + std::max(0, (r.w - w) / 2),
                              r.y + std::max(0, (r.h - h) / 2));
    else
        SDL_SetWindowPosition(win_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    if (size.maximized) SDL_MaximizeWindow(win_);
    SDL_ShowWindow(win_);
    shown();
    std::string why;
    if (!takeSurface(why)) {
        SDL_DestroyWindow(win_);
        win_ = nullptr;
        return failedWindow(why);
    }
    wakeType_ = SDL_RegisterEvents(1);
    if (wakeType_ == static_cast<Uint32>(-1)) wakeType_ = SDL_USEREVENT;
    return {};
}

bool WindowThread::takeSurface(std::string& why) {
    SDL_Surface* surface = SDL_GetWindowSurface(win_);
    if (painter_.use(surface) && canPaint()) {
        // Where a new picture comes from while no battle runs: the window's present area.
        areaW_ = painter_.width();
        areaH_ = painter_.height();
        return true;
    }
    why = surface ? "a pixel format the window cannot show" : SDL_GetError();
    return false;
}

std::string WindowThread::failedWindow(const std::string& why) const {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, mode_.title.c_str(), "Window creation failed",
                             nullptr);
    return "Window creation failed (" + why + ")";
}

/// Shows the picture until the game closes the window or the player does.
void WindowThread::showUntilDone() {
    Instant nextFrame{};
    SDL_Event e;
    for (;;) {
        while (SDL_PollEvent(&e)) handle(e);
        if (closed_ || wake_.load() == STOP) return;
        if (pending_.exchange(false) || whole_) {
            // Wait for the frame's turn, serving the desktop meanwhile; the game goes on
            // drawing and need not wake us.
            bool done = false;
            for (Instant now = std::chrono::steady_clock::now(); now < nextFrame && !done;
                 now = std::chrono::steady_clock::now()) {
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextFrame - now);
                if (SDL_WaitEventTimeout(&e, static_cast<int>(left.count()))) handle(e);
                done = closed_ || wake_.load() == STOP;
            }
            if (done) return;
            // After a quiet spell the first change is shown at once; during an
            // animation the frames keep to their grid.
            const Instant now = std::chrono::steady_clock::now();
            nextFrame = now - nextFrame > FRAME ? now + FRAME : nextFrame + FRAME;
            present();
            continue;
        }
        if (!settle(ASLEEP)) return;
        if (pending_.load()) { // pairs with the game's storing pending_ before looking at wake_
            settle(AWAKE);
            continue;
        }
        if (SDL_WaitEvent(&e)) handle(e);
        settle(AWAKE);
    }
}

void WindowThread::handle(const SDL_Event& e) {
    if (e.type != SDL_WINDOWEVENT) {
        input(e);
        return;
    }
    if (e.window.windowID != SDL_GetWindowID(win_)) return;
    switch (e.window.event) {
    case SDL_WINDOWEVENT_CLOSE: closeAsked(); break;
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

/// Copies rectangle `drawn` of the game's picture (`width` pixels a row) into the
/// window's copy; returns the part that really differs. A shot begins by clearing the
/// picture and drawing the same field again: of that whole rectangle only the last
/// shot's trail and blast need showing, and at 4K a whole present costs milliseconds.
PixelRect WindowThread::takeDifferences(const std::uint8_t* from, int width, PixelRect drawn) {
    PixelRect differs;
    const auto span = static_cast<std::size_t>(drawn.width);
    for (int y = drawn.y; y <= drawn.bottom(); ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * width + drawn.x;
        std::uint8_t* mine = copy_.data() + at;
        const std::uint8_t* theirs = from + at;
        if (std::memcmp(mine, theirs, span) == 0) continue;
        std::size_t first = 0, last = span - 1;
        while (mine[first] == theirs[first]) ++first;
        while (mine[last] == theirs[last]) --last;
        std::memcpy(mine + first, theirs + first, last - first + 1);
        differs.add(
            PixelRect{drawn.x + static_cast<int>(first), y, static_cast<int>(last - first + 1), 1});
    }
    return differs;
}

/// Shows what changed since the last frame, or the whole window when it needs it.
void WindowThread::present() {
    const auto start = std::chrono::steady_clock::now();
    if (resized_) {
        resized_ = false;
        std::string why;
        if (!takeSurface(why)) return;
    }
    const int sw = painter_.width(), sh = painter_.height();
    const WindowLayout layout = this->layout(sw, sh);
    const PixelRect& area = layout.picture;
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
                    changed = PixelRect{0, 0, pw, ph};
                    wholePicture = true;
                }
                changed = takeDifferences(from.data(), pw, changed);
            }
        }
    }
    PixelRect shown = fitPicture(copyW_, copyH_, area.width, area.height);
    shown.x += area.x;
    shown.y += area.y;
    if (wholePicture) {
        // Bars around a picture that does not fill its area, and nothing between battles.
        painter_.clear(area);
        if (copyW_ > 0)
            painter_.paint(copy_.data(), copyW_, copyH_, PixelRect{0, 0, copyW_, copyH_}, shown,
                           area);
        sent.push_back(SDL_Rect{area.x, area.y, area.width, area.height});
    } else if (copyW_ > 0) {
        const SDL_Rect r = painter_.paint(copy_.data(), copyW_, copyH_, changed, shown, area);
        if (r.w > 0 && r.h > 0) sent.push_back(r);
    }
    paintRest(whole_, layout, sent);
    const bool everything = whole_;
    whole_ = false;
    if (everything) {
        SDL_UpdateWindowSurface(win_);
    } else if (!sent.empty()) {
        SDL_UpdateWindowSurfaceRects(win_, sent.data(), static_cast<int>(sent.size()));
    } else {
        return;
    }
    if (mode_.onFrame)
        mode_.onFrame(std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::steady_clock::now() - start));
}

PictureInWindow::~PictureInWindow() {
    if (attached_ && !own_) window_.detach();
    WindowThread::keepIfStuck(std::move(own_));
}

void PictureInWindow::changed() {
    // Closing the one window, Ctrl+C in it or a lost display ends the game here as well
    // as at its next wait for a key: main tells which.
    if (window_.endsGame()) raiseRuntimeError(RE_INPUT_ENDED);
    if (!attached_) window_.attach(g_);
    attached_ = true;
    window_.changed();
}

} // namespace gs::sdl

namespace gs {

bool displayLost() {
    std::lock_guard<std::mutex> lock(sdl::lossLock);
    return sdl::lostDisplay;
}

} // namespace gs
