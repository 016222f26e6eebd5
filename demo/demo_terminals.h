// The two terminals of demos: one that records every key the console takes into a demo
// file, and one that types a demo's keys back before the keyboard takes over.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "demo/demo_file.h"

namespace gs {

/// A terminal in front of another: the screen side passes straight through to the one
/// underneath; the demo terminals change only where the keys come from.
class PassThroughTerminal : public Terminal {
public:
    explicit PassThroughTerminal(Terminal& under) : under_(under) {}
    void write(std::string_view bytes) override { under_.write(bytes); }
    void clear() override { under_.clear(); }
    void moveCursor(int col, int row) override { under_.moveCursor(col, row); }
    bool isScreen() const override { return under_.isScreen(); }
    int cols() const override { return under_.cols(); }
    int rows() const override { return under_.rows(); }

protected:
    Terminal& under_;
};

/// Passes everything through to the terminal underneath and keeps every key the console
/// takes. The file is written after every Enter and by save(); a game longer than a demo
/// may hold (MAX_DEMO_KEYS) is kept up to there, and the rest is reported as lost. A
/// write that fails stops the recording, the file left a whole demo of the answers kept
/// before; a file that went missing while the game was played is written anew.
class RecordingTerminal : public PassThroughTerminal {
public:
    RecordingTerminal(Terminal& inner, std::string path, Demo start);

    std::optional<int> pollKey() override;
    int waitKey() override;

    /// Writes the file now. False (and error() set) when it cannot be written: the
    /// recording stops there, the game goes on, and the first error is kept for the
    /// report at the end.
    bool save();
    const std::string& error() const { return error_; }
    /// One line for standard error when the file had to be written anew (empty if not):
    /// said once, however often it happened.
    const std::string& note() const { return note_; }
    const Demo& demo() const { return demo_; }
    /// Called before every save: lets the program fill in what it learns late (the
    /// size of the window the desktop gave).
    std::function<void(Demo&)> beforeSave;

private:
    int took(int key);
    std::string path_;
    Demo demo_;
    DemoFileWriter file_;
    std::string error_;
    std::string note_;
    bool stopped_ = false;    ///< a write failed: nothing more is written
    std::size_t answers_ = 0; ///< Enters taken
    std::size_t kept_ = 0;    ///< Enters in the file after the last write
};

/// Types the recorded keys as if they came from the keyboard; when they are used up, the
/// keyboard underneath takes over. Output always goes to the terminal underneath.
class ReplayTerminal : public PassThroughTerminal {
public:
    /// `pace` is called before each recorded key is handed out, with the key: a watched
    /// replay waits there so that the typing can be followed. It must not touch the
    /// game's clock, whose count seeds the random generator.
    ReplayTerminal(Terminal& keyboard, std::vector<int> keys,
                   std::function<void(int key)> pace = {});

    std::optional<int> pollKey() override;
    int waitKey() override;

    /// Recorded keys not handed out yet.
    std::size_t remaining() const { return keys_.size() - pos_; }

private:
    int next();
    std::vector<int> keys_;
    std::size_t pos_ = 0;
    std::function<void(int)> pace_;
};

/// The pause before a replayed key in a watched replay, in milliseconds: a short one per
/// key, a longer one before Enter so that each answer can be read.
int replayPauseMs(int key);

} // namespace gs
