// Recorded games: the demo file, a terminal that records every key the console takes,
// and a terminal that types recorded keys back before the keyboard takes over.
//
// What decides a game is the keys typed, in order, and the values the random generator
// is seeded with; the seeding reads the virtual clock, which starts at the seed and
// moves only through the game's pauses. The picture size decides where the aircraft
// come from, so it is kept too. A demo holds exactly these.
//
// The file is text. First line:
//     gorvenshale-demo 1 program=0.1.0 seed=305419896 size=1280x1024
// then the keys, one typed answer per line: every line break is an Enter, except after a
// line that ends in a lone "\" (the keys go on without an Enter). Printable characters
// stand for themselves; "\\" is a backslash, "\xHH" any other byte (a blank at the end of
// a line is written "\x20", so that editors keep it), "\{Esc}" and "\{Backspace}" those
// keys, "\{Left}" "\{Right}" "\{Home}" "\{End}" the cursor keys and "\{N}" any other
// function key by its scan code. The last line counts and sums the keys:
//     \end keys=42 fnv=1a2b3c4d
// so that a truncated or damaged file is refused rather than played wrongly.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"

namespace gs {

constexpr const char* DEMO_FORMAT = "gorvenshale-demo";
constexpr int DEMO_VERSION = 1;

struct Demo {
    std::string program; ///< the version of the game that recorded it
    std::uint32_t seed = 0;
    int width = 1280, height = 1024; ///< the picture the battles were drawn on
    std::vector<int> keys;           ///< console keys: bytes, and KEY_EXT + scan code
};

/// The file text of a demo.
std::string formatDemo(const Demo& d);
/// Reads a demo from its file text. On failure: nothing, and `error` says why in one line.
std::optional<Demo> parseDemo(std::string_view text, std::string& error);
/// Reads the file at `path` (a missing or unreadable file is an error like a damaged one).
std::optional<Demo> loadDemo(const std::string& path, std::string& error);
/// Writes the whole file at once: a new file beside it, then renamed over it, so that a
/// game ended at any moment leaves the last complete recording.
bool saveDemo(const std::string& path, const Demo& d, std::string& error);

/// Passes everything through to the terminal underneath and keeps every key the console
/// takes. The file is written after every Enter and by save().
class RecordingTerminal : public Terminal {
  public:
    RecordingTerminal(Terminal& inner, std::string path, Demo start);

    std::optional<int> pollKey() override;
    int waitKey() override;
    void write(std::string_view bytes) override { inner_.write(bytes); }
    void clear() override { inner_.clear(); }
    void moveCursor(int col, int row) override { inner_.moveCursor(col, row); }
    bool isScreen() const override { return inner_.isScreen(); }
    int cols() const override { return inner_.cols(); }
    int rows() const override { return inner_.rows(); }

    /// Writes the file now. False (and error() set) when it cannot be written; the
    /// game goes on, and the first error is kept for the report at the end.
    bool save();
    const std::string& error() const { return error_; }
    const Demo& demo() const { return demo_; }
    /// Called before every save: lets the program fill in what it learns late (the
    /// size of the window the desktop gave).
    std::function<void(Demo&)> beforeSave;

  private:
    int took(int key);
    Terminal& inner_;
    std::string path_;
    Demo demo_;
    std::string error_;
};

/// Types the recorded keys as if they came from the keyboard; when they are used up, the
/// keyboard underneath takes over. Output always goes to the terminal underneath.
class ReplayTerminal : public Terminal {
  public:
    /// `pace` is called before each recorded key is handed out, with the key: a watched
    /// replay waits there so that the typing can be followed. It must not touch the
    /// game's clock, whose count seeds the random generator.
    ReplayTerminal(Terminal& keyboard, std::vector<int> keys,
                   std::function<void(int key)> pace = {});

    std::optional<int> pollKey() override;
    int waitKey() override;
    void write(std::string_view bytes) override { keyboard_.write(bytes); }
    void clear() override { keyboard_.clear(); }
    void moveCursor(int col, int row) override { keyboard_.moveCursor(col, row); }
    bool isScreen() const override { return keyboard_.isScreen(); }
    int cols() const override { return keyboard_.cols(); }
    int rows() const override { return keyboard_.rows(); }

    /// Recorded keys not handed out yet.
    std::size_t remaining() const { return keys_.size() - pos_; }

  private:
    int next();
    Terminal& keyboard_;
    std::vector<int> keys_;
    std::size_t pos_ = 0;
    std::function<void(int)> pace_;
};

/// The pause before a replayed key in a watched replay, in milliseconds: a short one per
/// key, a longer one before Enter so that each answer can be read.
int replayPauseMs(int key);

} // namespace gs
