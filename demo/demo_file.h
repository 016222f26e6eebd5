// The demo file: a recorded game, and its text format.
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

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "system/shown_text.h"

namespace gs {

constexpr const char* DEMO_FORMAT = "gorvenshale-demo";
constexpr int DEMO_VERSION = 1;

struct Demo {
    std::string program; ///< the version of the game that recorded it
    std::uint32_t seed = 0;
    int width = 1280, height = 1024; ///< the picture the battles were drawn on
    std::vector<int> keys;           ///< console keys: bytes, and KEY_EXT + scan code
};

/// The most keys a demo holds: 4,194,304 (2^22, 16 MiB in memory). The longest battle a
/// level allows fires every shell of three full 16-bit stocks, 98,301 shots of two
/// answers each: some 790,000 keys at an ordinary eight keys a shot. The cap is over five
/// such battles, and bounds what a replay may take.
constexpr std::size_t MAX_DEMO_KEYS = std::size_t{1} << 22;
/// The longest line a demo file may have, in bytes (the game writes lines of under 90).
constexpr std::size_t MAX_DEMO_LINE = 65536;

/// The file text of a demo.
std::string formatDemo(const Demo& d);
/// Reads a demo from its file text. On failure: nothing, and `error` says why in one line.
std::optional<Demo> parseDemo(std::string_view text, std::string& error);
/// Reads the file at `path`: its first line is checked before the rest is read, and what
/// is not a regular file is refused unread (a missing or unreadable file is an error like
/// a damaged one).
std::optional<Demo> loadDemo(const std::string& path, std::string& error);
/// Writes the whole file at once: a new file beside it, then renamed over it, so that a
/// game ended at any moment leaves the last complete recording. `path` must name a
/// regular file, a symbolic link to one (the file it points to is written, the link
/// stays) or nothing yet; anything else is refused, never replaced. A regular file left at
/// the new file's name (`path` + ".part") by a recording that was killed is removed first.
bool saveDemo(const std::string& path, const Demo& d, std::string& error);
/// Bytes of a demo file as an error line may show them (shownText), at most 60 of them.
std::string shownDemoText(std::string_view text);

/// Keeps the file of a recording up to date. The first write puts the whole file in
/// place as saveDemo does; later ones append the answers given since and write the lines
/// after them (an answer being typed, the \end line) anew in place, so that an Enter
/// costs the same however long the game has been. The file is a whole demo at every
/// moment: a write that fails (a full disk) leaves it as it was. A new first line (the
/// window's size, learnt late), a file at the path that is no longer the one written
/// (removed, replaced, cut short), or a file that could not be put back after a failed
/// write puts the whole file in place again.
class DemoFileWriter {
public:
    DemoFileWriter() = default;
    ~DemoFileWriter();
    DemoFileWriter(const DemoFileWriter&) = delete;
    DemoFileWriter& operator=(const DemoFileWriter&) = delete;

    /// Brings the file at `path` up to `d`, whose keys begin with those of the last
    /// write. False, with `error` set, when it cannot be written.
    bool write(const std::string& path, const Demo& d, std::string& error);
    /// True when the last write found the file at the path gone, replaced or cut short
    /// and put the whole demo there again.
    bool wroteAnew() const { return wroteAnew_; }

private:
    bool writeWhole(const std::string& path, const std::string& head, const Demo& d,
                    std::string& error);
    void forget();
    int fd_ = -1;
    std::string path_, head_; ///< the path written to, and its first line
    std::size_t keys_ = 0;    ///< keys in the file's finished answers
    std::uint32_t sum_ = 0;   ///< their checksum
    std::uint64_t body_ = 0;  ///< bytes up to the end of those answers
    std::uint64_t size_ = 0;  ///< bytes in the file
    std::string tail_;        ///< the file's bytes after body_, put back after a failed write
    bool wroteAnew_ = false;
};

} // namespace gs
