#include "game/options.h"

#include <charconv>

#ifndef GS_VERSION
#define GS_VERSION "0.0.0"
#endif

namespace gs {

namespace {

template <typename T> bool parseWhole(std::string_view s, T& out) {
    if (s.empty() || s.front() == '+' || s.front() == '-') return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

bool parseSize(std::string_view s, int& w, int& h) {
    auto x = s.find('x');
    if (x == std::string_view::npos) return false;
    return parseWhole(s.substr(0, x), w) && parseWhole(s.substr(x + 1), h) && w >= MIN_SIDE &&
           w <= MAX_SIDE && h >= MIN_SIDE && h <= MAX_SIDE;
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions r;
    Options& o = r.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        const bool takesValue = name == "--seed" || name == "--size" || name == "--snapshots" ||
                                name == "--record" || name == "--replay";
        if (takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                r.error = "option " + name + " needs a value";
                return r;
            }
            value = args[++i];
        } else if (!takesValue && inlineValue) {
            const bool flag =
                name == "--fast" || name == "--headless" || name == "--help" || name == "--version";
            r.error =
                flag ? "option " + name + " takes no value" : "unknown option '" + args[i] + "'";
            return r;
        }
        if (name == "--fast") {
            o.fast = true;
        } else if (name == "--headless") {
            o.headless = true;
        } else if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--version") {
            o.version = true;
        } else if (name == "--seed") {
            std::uint32_t s = 0;
            if (!parseWhole(value, s)) {
                r.error = "bad --seed value '" + value + "': a whole number from 0 to 4294967295";
                return r;
            }
            o.seed = s;
        } else if (name == "--size") {
            if (!parseSize(value, o.width, o.height)) {
                r.error = "bad --size value '" + value + "': WIDTHxHEIGHT, each from " +
                          std::to_string(MIN_SIDE) + " to " + std::to_string(MAX_SIDE);
                return r;
            }
            o.sizeGiven = true;
        } else if (name == "--snapshots") {
            if (value.empty()) {
                r.error = "bad --snapshots value: a directory name is needed";
                return r;
            }
            o.snapshots = value;
        } else if (name == "--record" || name == "--replay") {
            if (value.empty()) {
                r.error = "bad " + name + " value: a file name is needed";
                return r;
            }
            (name == "--record" ? o.record : o.replay) = value;
        } else {
            r.error = "unknown option '" + args[i] + "'";
            return r;
        }
    }
    return r;
}

std::string usageText() {
    return "Usage: gorvenshale [options]\n"
           "Gorvenshale, a turn-based artillery game. Run it from the directory that holds\n"
           "level/ (make play does). Without options it is the plain game.\n"
           "\n"
           "Options:\n"
           "  --fast            pauses do not wait; the virtual clock advances instead\n"
           "  --seed N          seed the random generator from a virtual clock that starts\n"
           "                    at N (0..4294967295): the same seed and input give the same game\n"
           "  --headless        no window; the battlefield is drawn in memory\n"
           "  --size WxH        window (or headless picture) size in pixels, each side " +
           std::to_string(MIN_SIDE) + ".." + std::to_string(MAX_SIDE) +
           "\n"
           "  --snapshots DIR   write the battlefield to DIR/0001.png, ... each time the game\n"
           "                    waits for the player\n"
           "  --record FILE     keep the game in FILE (a demo): seed, size and every key\n"
           "  --replay FILE     play the demo in FILE back (at once with --fast); when its\n"
           "                    keys run out the keyboard takes over\n"
           "  --help            this text\n"
           "  --version         the version\n";
}

std::string versionText() { return std::string("Gorvenshale ") + programVersion() + "\n"; }

std::string programVersion() { return GS_VERSION; }

} // namespace gs
