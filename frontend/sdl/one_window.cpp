// The one window of --console window: the console's pane and, while a battle is on, the
// battlefield picture above it, for the whole game. Every key the player gives the game
// arrives here.
#include <optional>

#include "frontend/sdl/audio.h"
#include "frontend/sdl/window_thread.h"

namespace gs {

namespace {

using namespace sdl;

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

} // namespace

class GameWindow::Impl final : public WindowThread {
public:
    Impl(GameWindow::Setup s)
        : WindowThread(Mode{std::move(s.title), s.picture, s.pane, std::move(s.onFrame)}),
          panePainter_(s.pane->grid()) {
        closePaneOnLoss(mode_.pane);
        // Set before the game writes to the pane, and cleared only from the game's side:
        // the listener runs on the game's thread.
        mode_.pane->grid().setChangeListener([this] { changed(); });
    }
    ~Impl() override {
        stop();
        mode_.pane->grid().setChangeListener({});
    }

private:
    Uint32 prepare() override { return SDL_WINDOW_RESIZABLE; }
    void made() override {
        SDL_SetWindowMinimumSize(window(), PaneRenderer::cellWidth(1) * mode_.pane->cols(),
                                 PaneRenderer::cellHeight(1) * mode_.pane->rows() + 100);
    }
    void shown() override {
        SDL_RaiseWindow(window());
        SDL_StartTextInput();
    }
    void closing() override { SDL_StopTextInput(); }
    bool canPaint() const override { return painter_.fourBytes(); }
    WindowLayout layout(int w, int h) const override {
        return oneWindowLayout(w, h, mode_.pane->cols(), mode_.pane->rows());
    }
    void paintRest(bool whole, const WindowLayout& layout, std::vector<SDL_Rect>& sent) override {
        const int w = painter_.width(), h = painter_.height();
        if (whole) {
            panePainter_.invalidate();
            painter_.clear(PixelRect{0, layout.picture.height, w, h - layout.picture.height});
            sent.push_back(SDL_Rect{0, layout.picture.height, w, h - layout.picture.height});
        }
        const SDL_Rect r =
            painter_.paintPane(panePainter_, layout.pane,
                               PaneLook{layout.paneScale, colour::LightGrey, colour::Black, true});
        if (r.w > 0 && r.h > 0) sent.push_back(r);
    }
    void closeAsked() override { playerEnds(); }
    void input(const SDL_Event& e) override {
        if (e.type == SDL_QUIT) playerEnds();
        if (e.type == SDL_TEXTINPUT || e.type == SDL_KEYDOWN) typed(e);
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
            playerEnds();
            return;
        }
        if (k.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) return;
        if (k.sym == SDLK_TAB) {
            mode_.pane->typeText("\t"); // as a terminal sends it
            return;
        }
        if (auto key = paneKey(k.sym)) mode_.pane->pressKey(*key);
    }

    /// Closing the window or Ctrl+C: the game ends through its own path, woken by the
    /// closed pane or stopped at its next drawing; main ends as Ctrl+C in a terminal.
    void playerEnds() {
        endGame(); // before the pane wakes the game, which asks

        finish();
        mode_.pane->close();
    }

    PaneRenderer panePainter_; ///< the window thread's
};

GameWindow::GameWindow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

GameWindow::~GameWindow() {
    WindowThread::closePaneOnLoss(nullptr);
    WindowThread::keepIfStuck(std::move(impl_));
}

void GameWindow::keepFirstPictureSize() { impl_->keepFirstPictureSize(); }

GameWindow::End GameWindow::end() const {
    if (displayLost()) return End::DISPLAY_LOST;
    return impl_->endedByPlayer() ? End::PLAYER : End::NONE;
}

std::unique_ptr<GameWindow> GameWindow::open(Setup setup, std::string& error) {
    auto impl = std::make_unique<Impl>(std::move(setup));
    if (!impl->start(error)) return nullptr;
    return std::unique_ptr<GameWindow>(new GameWindow(std::move(impl)));
}

Graph::WindowFactory GameWindow::pictureFactory() {
    WindowThread* window = impl_.get();
    return [window](Graph& g, const Graph::Config&, std::string&) -> std::unique_ptr<Presenter> {
        return std::make_unique<PictureInWindow>(g, *window);
    };
}

} // namespace gs
