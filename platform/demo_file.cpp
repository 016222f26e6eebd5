#include "platform/demo_file.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

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

/// FNV-1a over both bytes of every key: cheap, and any changed, lost or added key shows.
std::uint32_t checksum(const std::vector<int>& keys) {
    std::uint32_t h = 2166136261u;
    for (int k : keys)
        for (int b : {k & 0xFF, (k >> 8) & 0xFF}) {
            h ^= static_cast<std::uint32_t>(b);
            h *= 16777619u;
        }
    return h;
}

std::string hex2(int b) {
    char s[8];
    std::snprintf(s, sizeof s, "\\x%02X", b & 0xFF);
    return s;
}

std::string encodeKey(int k) {
    for (const auto& n : NAMES)
        if (n.key == k) return std::string("\\{") + n.name + "}";
    if (k >= KEY_EXT) return "\\{" + std::to_string(k - KEY_EXT) + "}";
    if (k == '\\') return "\\\\";
    if (k >= 0x20 && k <= 0x7E) return std::string(1, static_cast<char>(k));
    return hex2(k);
}

template <typename T> bool whole(std::string_view s, T& out) {
    if (s.empty() || s.front() == '+' || s.front() == '-') return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> w;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ') ++j;
        if (j > i) w.push_back(s.substr(i, j - i));
        i = j;
    }
    return w;
}

bool parseHeader(std::string_view line, Demo& d, std::string& error) {
    auto w = words(line);
    if (w.empty() || w[0] != DEMO_FORMAT) {
        error = std::string("not a Gorvenshale demo (the first line does not begin with ") +
                DEMO_FORMAT + ")";
        return false;
    }
    int version = 0;
    if (w.size() < 2 || !whole(w[1], version)) {
        error = "damaged: the first line names no format version";
        return false;
    }
    if (version != DEMO_VERSION) {
        error = "demo format version " + std::string(w[1]) + "; this game reads version " +
                std::to_string(DEMO_VERSION);
        return false;
    }
    bool program = false, seed = false, size = false;
    for (std::size_t i = 2; i < w.size(); ++i) {
        auto eq = w[i].find('=');
        std::string_view key = w[i].substr(0, eq);
        std::string_view value = eq == std::string_view::npos ? "" : w[i].substr(eq + 1);
        bool ok = eq != std::string_view::npos;
        if (ok && key == "program" && !program) {
            d.program = value;
            program = ok = !value.empty();
        } else if (ok && key == "seed" && !seed) {
            seed = ok = whole(value, d.seed);
        } else if (ok && key == "size" && !size) {
            auto x = value.find('x');
            ok = x != std::string_view::npos && whole(value.substr(0, x), d.width) &&
                 whole(value.substr(x + 1), d.height) && d.width > 0 && d.height > 0 &&
                 d.width <= 8192 && d.height <= 8192;
            size = ok;
        } else {
            ok = false;
        }
        if (!ok) {
            error = "damaged: the first line has a bad field '" + std::string(w[i]) + "'";
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
    for (std::size_t i = 0; i < row.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(row[i]);
        if (c != '\\') {
            if (c < 0x20 || c > 0x7E) {
                error = "a raw byte " + hex2(c).substr(1) + " among the keys";
                return false;
            }
            keys.push_back(c);
            continue;
        }
        if (i + 1 == row.size()) {
            joined = true;
            return true;
        }
        const char e = row[++i];
        if (e == '\\') {
            keys.push_back('\\');
        } else if (e == 'x' && i + 2 < row.size() && hexDigit(row[i + 1]) >= 0 &&
                   hexDigit(row[i + 2]) >= 0) {
            keys.push_back(hexDigit(row[i + 1]) * 16 + hexDigit(row[i + 2]));
            i += 2;
        } else if (e == '{') {
            auto close = row.find('}', i);
            if (close == std::string_view::npos) {
                error = "an unclosed \\{";
                return false;
            }
            std::string_view name = row.substr(i + 1, close - i - 1);
            int key = -1, scan = 0;
            for (const auto& n : NAMES)
                if (name == n.name) key = n.key;
            if (key < 0 && whole(name, scan) && scan <= MAX_SCAN) key = KEY_EXT + scan;
            if (key < 0) {
                error = "an unknown key \\{" + std::string(name) + "}";
                return false;
            }
            keys.push_back(key);
            i = close;
        } else {
            error = std::string("an unknown escape \\") + e;
            return false;
        }
    }
    return true;
}

} // namespace

std::string formatDemo(const Demo& d) {
    std::string s = std::string(DEMO_FORMAT) + " " + std::to_string(DEMO_VERSION) +
                    " program=" + d.program + " seed=" + std::to_string(d.seed) +
                    " size=" + std::to_string(d.width) + "x" + std::to_string(d.height) + "\n";
    std::string row;
    bool open = false; // keys written since the last line break
    for (std::size_t i = 0; i < d.keys.size(); ++i) {
        const int k = d.keys[i];
        if (k == KEY_ENTER) {
            if (!row.empty() && row.back() == ' ') row.replace(row.size() - 1, 1, hex2(' '));
            s += row + "\n";
            row.clear();
            open = false;
            continue;
        }
        if (row.size() >= ROW_WIDTH) {
            s += row + "\\\n";
            row.clear();
        }
        row += encodeKey(k);
        open = true;
    }
    if (open) {
        if (!row.empty() && row.back() == ' ') row.replace(row.size() - 1, 1, hex2(' '));
        s += row + "\\\n";
    }
    char end[64];
    std::snprintf(end, sizeof end, "\\end keys=%zu fnv=%08x\n", d.keys.size(),
                  static_cast<unsigned>(checksum(d.keys)));
    return s + end;
}

std::optional<Demo> parseDemo(std::string_view text, std::string& error) {
    std::vector<std::string_view> lines;
    for (std::size_t i = 0; i < text.size();) {
        auto lf = text.find('\n', i);
        std::string_view l =
            text.substr(i, lf == std::string_view::npos ? text.size() - i : lf - i);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1); // a file that gained CR LF ends
        lines.push_back(l);
        i = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    Demo d;
    if (lines.empty()) {
        error = "the file is empty";
        return std::nullopt;
    }
    if (!parseHeader(lines[0], d, error)) {
        // A file cut short inside its first line reads as a bad field; say what happened.
        bool ended = false;
        for (auto l : lines) ended = ended || l.rfind("\\end", 0) == 0;
        if (!ended && error.rfind("damaged", 0) == 0)
            error = "truncated: the \\end line is missing";
        return std::nullopt;
    }
    std::size_t n = 1;
    for (; n < lines.size() && lines[n].rfind("\\end", 0) != 0; ++n) {
        bool joined = false;
        if (!parseRow(lines[n], d.keys, joined, error)) {
            error = "damaged at line " + std::to_string(n + 1) + ": " + error;
            return std::nullopt;
        }
        if (!joined) d.keys.push_back(KEY_ENTER);
    }
    if (n == lines.size()) {
        error = "truncated: the \\end line is missing";
        return std::nullopt;
    }
    auto w = words(lines[n]);
    std::size_t count = 0;
    std::uint32_t sum = 0;
    bool ok = w.size() == 3 && w[0] == "\\end" && w[1].rfind("keys=", 0) == 0 &&
              whole(w[1].substr(5), count) && w[2].rfind("fnv=", 0) == 0 && w[2].size() == 12;
    if (ok) {
        auto [p, ec] = std::from_chars(w[2].data() + 4, w[2].data() + w[2].size(), sum, 16);
        ok = ec == std::errc() && p == w[2].data() + w[2].size();
    }
    if (!ok) {
        error = "damaged at line " + std::to_string(n + 1) + ": a bad \\end line";
        return std::nullopt;
    }
    if (count != d.keys.size() || sum != checksum(d.keys)) {
        error = "damaged: the \\end line counts " + std::to_string(count) + " keys, " +
                std::to_string(d.keys.size()) + " found" +
                (count == d.keys.size() ? " but their sum differs" : "");
        return std::nullopt;
    }
    for (std::size_t i = n + 1; i < lines.size(); ++i)
        if (!lines[i].empty()) {
            error = "damaged: text after the \\end line";
            return std::nullopt;
        }
    return d;
}

std::optional<Demo> loadDemo(const std::string& path, std::string& error) {
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::stringstream s;
    s << f.rdbuf();
    if (f.bad()) {
        error = "the file cannot be read";
        return std::nullopt;
    }
    return parseDemo(s.str(), error);
}

bool saveDemo(const std::string& path, const Demo& d, std::string& error) {
    const std::string tmp = path + ".part";
    const std::string text = formatDemo(d);
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    int err = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        std::remove(tmp.c_str());
        error = std::strerror(err);
    }
    return ok;
}

} // namespace gs
