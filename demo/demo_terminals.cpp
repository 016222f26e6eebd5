#include "demo/demo_terminals.h"

namespace gs {

// ---- Recording ----

RecordingTerminal::RecordingTerminal(Terminal& inner, std::string path, Demo start)
    : PassThroughTerminal(inner), path_(std::move(path)), demo_(std::move(start)) {}

int RecordingTerminal::took(int key) {
    if (demo_.keys.size() >= MAX_DEMO_KEYS) {
        // A demo that could not be played back is never written: the game goes on unkept.
        if (error_.empty())
            error_ = "the game outgrew a demo (" + std::to_string(MAX_DEMO_KEYS) +
                     " keys); what came after is not kept";
        return key;
    }
    demo_.keys.push_back(key);
    // Each answer is kept as soon as it is given: Ctrl-C or a crash loses only the
    // keys of the line being typed.
    if (key == KEY_ENTER) {
        ++answers_;
        save();
    }
    return key;
}

std::optional<int> RecordingTerminal::pollKey() {
    auto key = under_.pollKey();
    if (key) took(*key);
    return key;
}

int RecordingTerminal::waitKey() { return took(under_.waitKey()); }

bool RecordingTerminal::save() {
    // After a failed write the file keeps what it had: writing on (a full disk again at
    // every answer) would gain nothing the report could promise.
    if (stopped_) return false;
    if (beforeSave) beforeSave(demo_);
    std::string why;
    if (file_.write(path_, demo_, why)) {
        kept_ = answers_;
        if (file_.wroteAnew() && note_.empty())
            note_ = "the recording " + path_ +
                    " was removed, replaced or cut short during the game; it was written anew, "
                    "whole";
        return true;
    }
    stopped_ = true;
    if (!error_.empty()) return false;
    error_ = why;
    if (kept_ > 0)
        error_ += "; recording stopped, and the file keeps the game's first " +
                  (kept_ == 1 ? std::string("answer") : std::to_string(kept_) + " answers");
    return false;
}

// ---- Replay ----

ReplayTerminal::ReplayTerminal(Terminal& keyboard, std::vector<int> keys,
                               std::function<void(int)> pace)
    : PassThroughTerminal(keyboard), keys_(std::move(keys)), pace_(std::move(pace)) {}

int ReplayTerminal::next() {
    const int key = keys_[pos_++];
    if (pace_) pace_(key);
    return key;
}

std::optional<int> ReplayTerminal::pollKey() {
    if (pos_ < keys_.size()) return next();
    return under_.pollKey();
}

int ReplayTerminal::waitKey() {
    if (pos_ < keys_.size()) return next();
    return under_.waitKey();
}

int replayPauseMs(int key) { return key == KEY_ENTER ? 400 : 70; }

} // namespace gs
