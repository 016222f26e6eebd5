// The battlefield window beside a terminal: one window per battle, opened by InitGraph and
// closed by CloseGraph, showing only the picture; the player types in the terminal.
#include "frontend/sdl/window_thread.h"

namespace gs {

namespace {

using namespace sdl;

const char* const BATTLE_TITLE = "Graph window application";

class BattleWindow final : public WindowThread {
public:
    BattleWindow(const Graph::Config& c, FrameObserver onFrame)
        : WindowThread(Mode{BATTLE_TITLE, c, nullptr, std::move(onFrame)}) {}
    ~BattleWindow() override { stop(); }

private:
    Uint32 prepare() override {
        // The keys are the terminal's.
        SDL_EventState(SDL_TEXTINPUT, SDL_DISABLE);
        SDL_EventState(SDL_KEYDOWN, SDL_DISABLE);
        return 0;
    }
    void closeAsked() override {
        // The player closed the battle's window: the game plays on without it, and this
        // thread ends (with no window left SDL would poll for events a thousand times a
        // second).
        finish();
    }
};

} // namespace

Graph::WindowFactory sdlWindowFactory(FrameObserver onFrame) {
    return [onFrame](Graph& g, const Graph::Config& c,
                     std::string& error) -> std::unique_ptr<Presenter> {
        auto w = std::make_unique<BattleWindow>(c, onFrame);
        if (!w->start(error)) return nullptr;
        WindowThread& window = *w;
        return std::make_unique<PictureInWindow>(g, window, std::move(w));
    };
}

} // namespace gs
