#include "console/pane_terminal.h"

#include "console/terminal_tty.h"
#include "system/runtime_error.h"

namespace gs {

int paneKeyCode(PaneKey key) {
    switch (key) {
    case PaneKey::Enter: return KEY_ENTER;
    case PaneKey::Backspace: return KEY_BACKSPACE;
    case PaneKey::Escape: return KEY_ESC;
    case PaneKey::Left: return KEY_LEFT;
    case PaneKey::Right: return KEY_RIGHT;
    case PaneKey::Home: return KEY_HOME;
    case PaneKey::End: return KEY_END;
    case PaneKey::Up: return KEY_EXT + SC_UP;
    case PaneKey::Down: return KEY_EXT + SC_DOWN;
    case PaneKey::PageUp: return KEY_EXT + SC_PGUP;
    case PaneKey::PageDown: return KEY_EXT + SC_PGDN;
    case PaneKey::Insert: return KEY_EXT + SC_INS;
    case PaneKey::Delete: return KEY_EXT + SC_DEL;
    case PaneKey::F1: return KEY_EXT + SC_F1;
    case PaneKey::F2: return KEY_EXT + SC_F1 + 1;
    case PaneKey::F3: return KEY_EXT + SC_F1 + 2;
    case PaneKey::F4: return KEY_EXT + SC_F1 + 3;
    case PaneKey::Other: break;
    }
    return KEY_UNKNOWN;
}

std::optional<int> PaneTerminal::pollKey() {
    std::lock_guard lock(mutex_);
    if (keys_.empty()) return std::nullopt;
    int key = keys_.front();
    keys_.pop_front();
    return key;
}

int PaneTerminal::waitKey() {
    std::unique_lock lock(mutex_);
    waiting_ = true;
    keyCame_.wait(lock, [this] { return !keys_.empty() || closed_; });
    waiting_ = false;
    if (keys_.empty()) {
        lock.unlock();
        raiseRuntimeError(RE_INPUT_ENDED);
    }
    int key = keys_.front();
    keys_.pop_front();
    return key;
}

void PaneTerminal::push(int key) {
    if (closed_ || keys_.size() >= MAX_QUEUED_KEYS) return;
    keys_.push_back(key);
}

void PaneTerminal::typeText(std::string_view utf8) {
    {
        std::lock_guard lock(mutex_);
        for (char byte : utf8) push(static_cast<unsigned char>(byte));
    }
    keyCame_.notify_all();
}

void PaneTerminal::pressKey(PaneKey key) {
    {
        std::lock_guard lock(mutex_);
        push(paneKeyCode(key));
    }
    keyCame_.notify_all();
}

void PaneTerminal::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    keyCame_.notify_all();
}

bool PaneTerminal::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

bool PaneTerminal::waitingForKey() const {
    std::lock_guard lock(mutex_);
    return waiting_ && keys_.empty() && !closed_;
}

} // namespace gs
