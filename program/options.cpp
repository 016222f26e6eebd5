#include "program/options.h"

#include <charconv>

#include "game/level_file.h"

namespace gs {

namespace {

template <typename T> bool parseWhole(std::string_view text, T& out) {
    if (text.empty() || text.front() == '+' || text.front() == '-') return false;
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), out);
    return status == std::errc() && end == text.data() + text.size();
}

bool parseSize(std::string_view text, int& width, int& height) {
    auto times = text.find('x');
    if (times == std::string_view::npos) return false;
    return parseWhole(text.substr(0, times), width) && parseWhole(text.substr(times + 1), height) &&
           width >= MIN_SIDE && width <= MAX_SIDE && height >= MIN_SIDE && height <= MAX_SIDE;
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    Options& options = parsed.options;
    for (std::size_t at = 0; at < args.size(); ++at) {
        std::string name = args[at], value;
        bool inlineValue = false;
        if (auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            inlineValue = true;
        }
        const bool takesValue = name == "--seed" || name == "--size" || name == "--snapshots" ||
                                name == "--record" || name == "--replay" || name == "--levels" ||
                                name == "--console" || name == "--scale" || name == "--sound" ||
                                name == "--sound-wav";
        if (takesValue && !inlineValue) {
            if (at + 1 >= args.size()) {
                parsed.error = "option " + name + " needs a value";
                return parsed;
            }
            value = args[++at];
        } else if (!takesValue && inlineValue) {
            const bool flag = name == "--fast" || name == "--headless" || name == "--help" ||
                              name == "--version" || name == "--continue";
            parsed.error =
                flag ? "option " + name + " takes no value" : "unknown option '" + args[at] + "'";
            return parsed;
        }
        if (name == "--fast") {
            options.fast = true;
        } else if (name == "--continue") {
            options.continueCampaign = true;
        } else if (name == "--headless") {
            options.headless = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--seed") {
            std::uint32_t s = 0;
            if (!parseWhole(value, s)) {
                parsed.error =
                    "bad --seed value '" + value + "': a whole number from 0 to 4294967295";
                return parsed;
            }
            options.seed = s;
        } else if (name == "--size") {
            if (!parseSize(value, options.width, options.height)) {
                parsed.error = "bad --size value '" + value + "': WIDTHxHEIGHT, each from " +
                               std::to_string(MIN_SIDE) + " to " + std::to_string(MAX_SIDE);
                return parsed;
            }
            options.sizeGiven = true;
        } else if (name == "--snapshots") {
            if (value.empty()) {
                parsed.error = "bad --snapshots value: a directory name is needed";
                return parsed;
            }
            options.snapshots = value;
        } else if (name == "--record" || name == "--replay") {
            if (value.empty()) {
                parsed.error = "bad " + name + " value: a file name is needed";
                return parsed;
            }
            (name == "--record" ? options.record : options.replay) = value;
        } else if (name == "--levels") {
            if (value.empty()) {
                parsed.error = "bad --levels value: a directory name is needed";
                return parsed;
            }
            options.levels = value;
        } else if (name == "--console") {
            if (value != "window" && value != "terminal") {
                parsed.error = "bad --console value '" + value + "': window or terminal";
                return parsed;
            }
            options.consoleWindow = value == "window";
        } else if (name == "--scale") {
            if (!parseWhole(value, options.scale) || options.scale < 1 ||
                options.scale > MAX_SCALE) {
                parsed.error = "bad --scale value '" + value + "': a whole number from 1 to " +
                               std::to_string(MAX_SCALE);
                return parsed;
            }
        } else if (name == "--sound") {
            if (value != "on" && value != "off" && value != "clicks") {
                parsed.error = "bad --sound value '" + value + "': on, off or clicks";
                return parsed;
            }
            options.sound = value != "off";
            options.keyClicks = value == "clicks";
        } else if (name == "--sound-wav") {
            if (value.empty()) {
                parsed.error = "bad --sound-wav value: a file name is needed";
                return parsed;
            }
            options.soundWav = value;
        } else {
            parsed.error = "unknown option '" + args[at] + "'";
            return parsed;
        }
    }
    // The one window is a window: it cannot be had without one.
    if (options.consoleWindow && options.headless)
        parsed.error = "--console window needs a window and cannot go with --headless";
    // A demo keeps no Campaign progress: its Campaign starts at level 1, as it was played.
    if (options.continueCampaign && (options.record || options.replay))
        parsed.error = "--continue cannot go with --record or --replay: a demo's Campaign "
                       "starts at level 1";
    return parsed;
}

std::string usageText() {
    return "Usage: gorvenshale [options]\n"
           "Gorvenshale, a turn-based artillery game. Without options it is the plain game.\n"
           "It reads its levels from the first of these directories that exists: ./level,\n"
           "$XDG_DATA_HOME/gorvenshale/level (~/.local/share/gorvenshale/level if unset),\n" +
           installedLevelDirectory() +
           ".\n"
           "\n"
           "Options:\n"
           "  --fast            pauses do not wait; the virtual clock advances instead\n"
           "  --seed N          seed the random generator from a virtual clock that starts\n"
           "                    at N (0..4294967295): the same seed and input give the same game\n"
           "  --headless        no window; the battlefield is drawn in memory\n"
           "  --console MODE    terminal (the default): questions in the terminal, the\n"
           "                    battlefield in a window of its own; window: one window\n"
           "                    holds both, the console as a pane under the battlefield\n"
           "  --size WxH        battlefield picture size in pixels, each side " +
           std::to_string(MIN_SIDE) + ".." + std::to_string(MAX_SIDE) +
           "\n"
           "  --scale N         show each picture pixel as an N x N block (1.." +
           std::to_string(MAX_SCALE) +
           "); without\n"
           "                    --size the picture is the window's area divided by N, in the\n"
           "                    one window and the page never less than the whole battlefield\n"
           "                    (1280x560; a smaller area shows it shrunk). Not given, N is\n"
           "                    the largest at which the one window's picture holds the\n"
           "                    battlefield whole, and 1 for a battle's own window\n"
           "  --snapshots DIR   write the battlefield to DIR/0001.png, ... each time the game\n"
           "                    waits for the player\n"
           "  --record FILE     keep the game in FILE (a demo): seed, size and every key\n"
           "  --replay FILE     play the demo in FILE back (at once with --fast); when its\n"
           "                    keys run out the keyboard takes over\n"
           "  --levels DIR      read every level from DIR and look nowhere else\n"
           "  --continue        Campaign starts at the level after the last Campaign level\n"
           "                    won (kept in $XDG_STATE_HOME/gorvenshale, ~/.local/state/\n"
           "                    gorvenshale if unset), when it is of the same levels\n"
           "  --sound MODE      on (the default with a window), off (the default with\n"
           "                    --headless), or clicks: on, and every key clicks softly;\n"
           "                    in the window Ctrl+M mutes and unmutes\n"
           "  --sound-wav FILE  write the game's sound to FILE (WAV), each sound at its time\n"
           "                    on the game's clock, with or without --sound\n"
           "  --help            this text\n"
           "  --version         the version\n"
           "\n"
           "While an answer is typed, Up and Down bring back the earlier answers of the game\n"
           "(the last 100, newest first) to be edited and sent again with Enter.\n";
}

std::string versionText() { return std::string("Gorvenshale ") + programVersion() + "\n"; }

std::string programVersion() { return GS_VERSION; }

} // namespace gs
