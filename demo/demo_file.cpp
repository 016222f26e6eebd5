#include "demo/demo_file.h"

#include "system/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {

namespace {

/// A key row longer than this goes on in the next line (joined by a final "\").
constexpr std::size_t ROW_WIDTH = 72;

/// Highest scan code a function key can carry.
constexpr int MAX_SCAN = 255;

struct KeyName {
    int key;
    const char* name;
};
constexpr KeyName NAMES[] = {
    {KEY_ESC, "Esc"},     {KEY_BACKSPACE, "Backspace"}, {KEY_LEFT, "Left"},
    {KEY_RIGHT, "Right"}, {KEY_HOME, "Home"},           {KEY_END, "End"},
};

constexpr std::uint32_t FNV_START = 2166136261u;

/// FNV-1a over both bytes of every key: cheap, and any changed, lost or added key shows.
/// It goes on from `hash`, the sum of the keys before `from`.
std::uint32_t checksum(const std::vector<int>& keys, std::size_t from = 0,
                       std::size_t to = std::string::npos, std::uint32_t hash = FNV_START) {
    to = std::min(to, keys.size());
    for (std::size_t at = from; at < to; ++at)
        for (int byte : {keys[at] & 0xFF, (keys[at] >> 8) & 0xFF}) {
            hash ^= static_cast<std::uint32_t>(byte);
            hash *= 16777619u;
        }
    return hash;
}

std::string hex2(int byte) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", byte & 0xFF);
    return text;
}

std::string encodeKey(int key) {
    for (const auto& named : NAMES)
        if (named.key == key) return std::string("\\{") + named.name + "}";
    if (key >= KEY_EXT) return "\\{" + std::to_string(key - KEY_EXT) + "}";
    if (key == '\\') return "\\\\";
    if (key >= 0x20 && key <= 0x7E) return std::string(1, static_cast<char>(key));
    return hex2(key);
}

std::string headLine(const Demo& demo) {
    return std::string(DEMO_FORMAT) + " " + std::to_string(DEMO_VERSION) +
           " program=" + demo.program + " seed=" + std::to_string(demo.seed) +
           " size=" + std::to_string(demo.width) + "x" + std::to_string(demo.height) + "\n";
}

/// The key rows of keys[from, to), `from` being the start of a row (the first key, or the
/// one after an Enter). Keys after the last Enter end in a joined row ("\" and a line
/// break), so that a file kept in the middle of an answer still reads back exactly.
void appendKeyRows(const std::vector<int>& keys, std::size_t from, std::size_t to,
                   std::string& text) {
    // A final blank is written "\x20", so that editors keep it.
    auto finish = [&](std::string& row, const char* lineEnd) {
        if (!row.empty() && row.back() == ' ') row.replace(row.size() - 1, 1, hex2(' '));
        text += row + lineEnd;
        row.clear();
    };
    std::string row;
    bool open = false; // keys written since the last line break
    for (std::size_t at = from; at < to; ++at) {
        const int key = keys[at];
        if (key == KEY_ENTER) {
            finish(row, "\n");
            open = false;
            continue;
        }
        if (row.size() >= ROW_WIDTH) {
            text += row + "\\\n";
            row.clear();
        }
        row += encodeKey(key);
        open = true;
    }
    if (open) finish(row, "\\\n");
}

std::string endLine(std::size_t keys, std::uint32_t sum) {
    char end[64];
    std::snprintf(end, sizeof end, "\\end keys=%zu fnv=%08x\n", keys, static_cast<unsigned>(sum));
    return end;
}

template <typename T> bool whole(std::string_view s, T& out) {
    if (s.empty() || s.front() == '+' || s.front() == '-') return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

int hexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> found;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ') ++at;
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ') ++end;
        if (end > at) found.push_back(line.substr(at, end - at));
        at = end;
    }
    return found;
}

bool parseHeader(std::string_view line, Demo& d, std::string& error) {
    auto fields = words(line);
    if (fields.empty() || fields[0] != DEMO_FORMAT) {
        error = std::string("not a Gorvenshale demo (the first line does not begin with ") +
                DEMO_FORMAT + ")";
        return false;
    }
    int version = 0;
    if (fields.size() < 2 || !whole(fields[1], version)) {
        error = "damaged: the first line names no format version";
        return false;
    }
    if (version != DEMO_VERSION) {
        error = "demo format version " + std::string(fields[1]) + "; this game reads version " +
                std::to_string(DEMO_VERSION);
        return false;
    }
    bool program = false, seed = false, size = false;
    for (std::size_t i = 2; i < fields.size(); ++i) {
        auto equals = fields[i].find('=');
        std::string_view key = fields[i].substr(0, equals);
        std::string_view value =
            equals == std::string_view::npos ? "" : fields[i].substr(equals + 1);
        bool ok = equals != std::string_view::npos;
        if (ok && key == "program" && !program) {
            d.program = value;
            program = ok = !value.empty();
        } else if (ok && key == "seed" && !seed) {
            seed = ok = whole(value, d.seed);
        } else if (ok && key == "size" && !size) {
            auto times = value.find('x');
            ok = times != std::string_view::npos && whole(value.substr(0, times), d.width) &&
                 whole(value.substr(times + 1), d.height) && d.width > 0 && d.height > 0 &&
                 d.width <= 8192 && d.height <= 8192;
            size = ok;
        } else {
            ok = false;
        }
        if (!ok) {
            error = "damaged: the first line has a bad field '" + shownDemoText(fields[i]) + "'";
            return false;
        }
    }
    if (!program || !seed || !size) {
        error = "damaged: the first line lacks its program, seed or size";
        return false;
    }
    return true;
}

/// Decodes one key row; `joined` is set when it ends in a lone "\" (no Enter after it).
bool parseRow(std::string_view row, std::vector<int>& keys, bool& joined, std::string& error) {
    joined = false;
    for (std::size_t at = 0; at < row.size(); ++at) {
        const unsigned char ch = static_cast<unsigned char>(row[at]);
        if (ch != '\\') {
            if (ch < 0x20 || ch > 0x7E) {
                error = "a raw byte " + hex2(ch).substr(1) + " among the keys";
                return false;
            }
            keys.push_back(ch);
            continue;
        }
        if (at + 1 == row.size()) {
            joined = true;
            return true;
        }
        const char escape = row[++at];
        if (escape == '\\') {
            keys.push_back('\\');
        } else if (escape == 'x' && at + 2 < row.size() && hexDigit(row[at + 1]) >= 0 &&
                   hexDigit(row[at + 2]) >= 0) {
            keys.push_back(hexDigit(row[at + 1]) * 16 + hexDigit(row[at + 2]));
            at += 2;
        } else if (escape == '{') {
            auto close = row.find('}', at);
            if (close == std::string_view::npos) {
                error = "an unclosed \\{";
                return false;
            }
            std::string_view name = row.substr(at + 1, close - at - 1);
            int key = -1, scan = 0;
            for (const auto& named : NAMES)
                if (name == named.name) key = named.key;
            if (key < 0 && whole(name, scan) && scan <= MAX_SCAN) key = KEY_EXT + scan;
            if (key < 0) {
                error = "an unknown key \\{" + shownDemoText(name) + "}";
                return false;
            }
            keys.push_back(key);
            at = close;
        } else {
            error = "an unknown escape \\" + shownDemoText(std::string_view(&escape, 1));
            return false;
        }
    }
    return true;
}

/// The lines of a demo, one at a time, so that the first line is checked before the rest
/// is read and no more than one line is held. A line ends in LF (a CR before it is
/// dropped: a file that gained CR LF ends); the last one may lack it.
class Lines {
public:
    virtual ~Lines() = default;
    /// The next line; false at the end of the text or on a failure (then failure() says
    /// why). `cut` is set when the text ended inside the line.
    virtual bool next(std::string_view& line, bool& cut) = 0;
    const std::string& failure() const { return failure_; }
    std::size_t number() const { return number_; }

protected:
    /// Hands out `text` as the next line, or fails when it is longer than a line may be.
    bool give(std::string_view text, std::string_view& line) {
        ++number_;
        if (text.size() > MAX_DEMO_LINE) return tooLong();
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        line = text;
        return true;
    }
    bool tooLong() {
        failure_ = "damaged at line " + std::to_string(number_) + ": a line longer than " +
                   std::to_string(MAX_DEMO_LINE) + " bytes";
        return false;
    }
    std::string failure_;
    std::size_t number_ = 0;
};

class TextLines : public Lines {
public:
    explicit TextLines(std::string_view text) : text_(text) {}
    bool next(std::string_view& line, bool& cut) override {
        if (at_ >= text_.size()) return false;
        const auto lineFeed = text_.find('\n', at_);
        cut = lineFeed == std::string_view::npos;
        const std::size_t end = cut ? text_.size() : lineFeed;
        const std::string_view text = text_.substr(at_, end - at_);
        at_ = cut ? text_.size() : end + 1;
        return give(text, line);
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

/// Reads a file in blocks; a line longer than MAX_DEMO_LINE is refused as soon as it is.
class FileLines : public Lines {
public:
    explicit FileLines(int fd) : fd_(fd) {}
    bool next(std::string_view& line, bool& cut) override {
        line_.clear();
        for (;;) {
            if (at_ == size_) {
                if (ended_) break;
                const ssize_t got = ::read(fd_, block_, sizeof block_);
                if (got < 0 && errno == EINTR) continue;
                if (got < 0) {
                    failure_ = std::strerror(errno);
                    return false;
                }
                ended_ = got == 0;
                at_ = 0;
                size_ = static_cast<std::size_t>(got);
                continue;
            }
            const char* from = block_ + at_;
            const void* lineFeed = std::memchr(from, '\n', size_ - at_);
            const std::size_t take =
                lineFeed ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - from)
                         : size_ - at_;
            if (line_.size() + take > MAX_DEMO_LINE) {
                ++number_;
                return tooLong();
            }
            line_.append(from, take);
            at_ += take;
            if (lineFeed) {
                ++at_;
                cut = false;
                return give(line_, line);
            }
        }
        if (line_.empty()) return false;
        cut = true;
        return give(line_, line);
    }

private:
    int fd_;
    char block_[65536];
    std::size_t at_ = 0, size_ = 0;
    bool ended_ = false;
    std::string line_;
};

std::optional<Demo> readDemo(Lines& lines, std::string& error) {
    Demo demo;
    std::string_view line;
    bool cut = false;
    auto stop = [&](std::string why) {
        error = lines.failure().empty() ? std::move(why) : lines.failure();
        return std::nullopt;
    };
    if (!lines.next(line, cut)) return stop("the file is empty");
    if (!parseHeader(line, demo, error)) {
        // A file cut short inside its first line reads as a bad field; say what happened.
        if (cut && error.rfind("damaged", 0) == 0) error = "truncated: the \\end line is missing";
        return std::nullopt;
    }
    for (;;) {
        if (!lines.next(line, cut)) return stop("truncated: the \\end line is missing");
        if (line.rfind("\\end", 0) == 0) break;
        bool joined = false;
        if (!parseRow(line, demo.keys, joined, error)) {
            error = "damaged at line " + std::to_string(lines.number()) + ": " + error;
            return std::nullopt;
        }
        if (!joined) demo.keys.push_back(KEY_ENTER);
        if (demo.keys.size() > MAX_DEMO_KEYS)
            return stop("too long: more than " + std::to_string(MAX_DEMO_KEYS) +
                        " keys, the most a demo holds");
    }
    auto fields = words(line);
    std::size_t count = 0;
    std::uint32_t sum = 0;
    bool ok = fields.size() == 3 && fields[0] == "\\end" && fields[1].rfind("keys=", 0) == 0 &&
              whole(fields[1].substr(5), count) && fields[2].rfind("fnv=", 0) == 0 &&
              fields[2].size() == 12;
    if (ok) {
        auto [end, status] =
            std::from_chars(fields[2].data() + 4, fields[2].data() + fields[2].size(), sum, 16);
        ok = status == std::errc() && end == fields[2].data() + fields[2].size();
    }
    if (!ok) {
        error = "damaged at line " + std::to_string(lines.number()) + ": a bad \\end line";
        return std::nullopt;
    }
    if (count != demo.keys.size() || sum != checksum(demo.keys)) {
        error = "damaged: the \\end line counts " + std::to_string(count) + " keys, " +
                std::to_string(demo.keys.size()) + " found" +
                (count == demo.keys.size() ? " but their sum differs" : "");
        return std::nullopt;
    }
    while (lines.next(line, cut))
        if (!line.empty()) return stop("damaged: text after the \\end line");
    if (!lines.failure().empty()) return stop("");
    return demo;
}

/// Where a recording to `path` goes: `path` itself when nothing is there yet or a regular
/// file is; the file a symbolic link points to when that is a regular file (the link
/// stays). Anything else (a device, a FIFO, a directory, a link to nothing) is refused:
/// the recording would replace it.
bool recordTarget(const std::string& path, std::string& target, std::string& error) {
    struct stat entry {};
    if (lstat(path.c_str(), &entry) != 0) {
        if (errno != ENOENT) {
            error = std::strerror(errno);
            return false;
        }
        target = path;
        return true;
    }
    target = path;
    if (S_ISLNK(entry.st_mode)) {
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved) {
            error = errno == ENOENT ? "a symbolic link to a file that does not exist"
                                    : std::strerror(errno);
            return false;
        }
        target = resolved;
        std::free(resolved);
        if (stat(target.c_str(), &entry) != 0) {
            error = std::strerror(errno);
            return false;
        }
    }
    if (!S_ISREG(entry.st_mode)) {
        error = "not a regular file";
        return false;
    }
    return true;
}

} // namespace

std::string formatDemo(const Demo& demo) {
    std::string text = headLine(demo);
    appendKeyRows(demo.keys, 0, demo.keys.size(), text);
    return text + endLine(demo.keys.size(), checksum(demo.keys));
}

std::optional<Demo> parseDemo(std::string_view text, std::string& error) {
    TextLines lines(text);
    return readDemo(lines, error);
}

std::optional<Demo> loadDemo(const std::string& path, std::string& error) {
    // Not blocking in the open: a FIFO with no writer would wait for ever. What is not a
    // regular file (a FIFO, a device such as /dev/zero) is refused before a byte is read.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    struct stat file {};
    std::optional<Demo> demo;
    if (fstat(fd, &file) != 0) {
        error = std::strerror(errno);
    } else if (!S_ISREG(file.st_mode)) {
        error = "not a regular file";
    } else {
        FileLines lines(fd);
        demo = readDemo(lines, error);
    }
    close(fd);
    return demo;
}

bool saveDemo(const std::string& path, const Demo& demo, std::string& error) {
    std::string target;
    if (!recordTarget(path, target, error)) return false;
    const int fd = writeFileAnew(target, formatDemo(demo), 0666, error);
    if (fd < 0) return false;
    close(fd);
    return true;
}

std::string shownDemoText(std::string_view text) { return shownText(text, 60); }

// ---- Keeping a recording ----

DemoFileWriter::~DemoFileWriter() { forget(); }

void DemoFileWriter::forget() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool DemoFileWriter::write(const std::string& path, const Demo& demo, std::string& error) {
    const std::string head = headLine(demo);
    wroteAnew_ = false;
    if (fd_ < 0 || path != path_ || head != head_ || demo.keys.size() < keys_)
        return writeWhole(path, head, demo, error);
    // A file removed, replaced (another game recording to the same name) or cut short
    // since the last write would take the answers into a file nobody can find, or after a
    // hole of NUL bytes: the whole demo goes to the path again instead.
    struct stat ours {};
    struct stat there {};
    if (fstat(fd_, &ours) != 0 || stat(path.c_str(), &there) != 0 || ours.st_dev != there.st_dev ||
        ours.st_ino != there.st_ino || static_cast<std::uint64_t>(there.st_size) != size_) {
        wroteAnew_ = true;
        return writeWhole(path, head, demo, error);
    }
    // The answers completed since the last write go where the old closing lines began; the
    // keys of an unfinished answer and the \end line follow.
    std::size_t rowsEnd = keys_;
    for (std::size_t at = demo.keys.size(); at > keys_; --at)
        if (demo.keys[at - 1] == KEY_ENTER) {
            rowsEnd = at;
            break;
        }
    std::string text;
    appendKeyRows(demo.keys, keys_, rowsEnd, text);
    const std::size_t rowsBytes = text.size();
    const std::uint32_t rowsSum = checksum(demo.keys, keys_, rowsEnd, sum_);
    appendKeyRows(demo.keys, rowsEnd, demo.keys.size(), text);
    text += endLine(demo.keys.size(), checksum(demo.keys, rowsEnd, demo.keys.size(), rowsSum));
    const std::uint64_t newSize = body_ + text.size();
    const off_t oldEnd = static_cast<off_t>(size_);
    // The room comes first, as blank lines after the \end line (which a demo may have): a
    // full disk stops the write there, and the file is cut back to the demo it was. Only
    // then are the old closing lines replaced, in room the file already has.
    if (newSize > size_ &&
        !writeAllAt(fd_, std::string(static_cast<std::size_t>(newSize - size_), '\n'), size_,
                    error)) {
        if (ftruncate(fd_, oldEnd) != 0) forget();
        return false;
    }
    // A shorter file gets blank lines too, until it is cut.
    if (newSize < size_) text.append(static_cast<std::size_t>(size_ - newSize), '\n');
    if (!writeAllAt(fd_, text, body_, error)) {
        // The old closing lines are put back; a file that takes not even those is written
        // whole by the next write.
        std::string ignored;
        if (!writeAllAt(fd_, tail_, body_, ignored) || ftruncate(fd_, oldEnd) != 0) forget();
        return false;
    }
    if (newSize < size_ && ftruncate(fd_, static_cast<off_t>(newSize)) != 0) {
        error = std::strerror(errno);
        forget(); // a whole demo still, blank lines after it; the next write puts it anew
        return false;
    }
    keys_ = rowsEnd;
    sum_ = rowsSum;
    tail_ = text.substr(rowsBytes, static_cast<std::size_t>(newSize - body_) - rowsBytes);
    body_ += rowsBytes;
    size_ = newSize;
    return true;
}

bool DemoFileWriter::writeWhole(const std::string& path, const std::string& head, const Demo& demo,
                                std::string& error) {
    forget();
    std::string target;
    if (!recordTarget(path, target, error)) return false;
    std::size_t rowsEnd = demo.keys.size();
    while (rowsEnd > 0 && demo.keys[rowsEnd - 1] != KEY_ENTER) --rowsEnd;
    std::string text = head;
    appendKeyRows(demo.keys, 0, rowsEnd, text);
    const std::size_t body = text.size();
    const std::uint32_t sum = checksum(demo.keys, 0, rowsEnd);
    appendKeyRows(demo.keys, rowsEnd, demo.keys.size(), text);
    text += endLine(demo.keys.size(), checksum(demo.keys, rowsEnd, demo.keys.size(), sum));
    fd_ = writeFileAnew(target, text, 0666, error);
    if (fd_ < 0) return false;
    path_ = path;
    head_ = head;
    keys_ = rowsEnd;
    sum_ = sum;
    body_ = body;
    size_ = text.size();
    tail_ = text.substr(body);
    return true;
}

} // namespace gs
