// Command-line options. Started without any, the program is the plain game.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gs {

struct Options {
    bool fast = false;                 ///< --fast: Delay advances the virtual clock, no sleep
    std::optional<std::uint32_t> seed; ///< --seed N: every seeding reads the virtual clock from N
    bool headless = false;             ///< --headless: no window, the picture lives in memory
    int width = 1280, height = 1024;   ///< --size WxH
    bool sizeGiven = false;
    std::optional<std::string> snapshots; ///< --snapshots DIR
    std::optional<std::string> record;    ///< --record FILE: keep the game as a demo
    std::optional<std::string> replay;    ///< --replay FILE: play a demo back
    std::optional<std::string> levels;    ///< --levels DIR: the one level directory
    bool continueCampaign = false;        ///< --continue: Campaign starts after the last level won
    bool consoleWindow = false; ///< --console window: the console is a pane in the game's window
    /// --scale N: each picture pixel an N x N block on screen; 0 when not given (the one
    /// window chooses it from the screen, a battle's window beside a terminal takes 1)
    int scale = 0;
    /// --sound on|off|clicks; unset: on in the window modes, off with --headless.
    std::optional<bool> sound;
    bool keyClicks = false;              ///< --sound clicks: on, and each key clicks softly
    std::optional<std::string> soundWav; ///< --sound-wav FILE: the game's sound, on its clock
    bool help = false, version = false;
};

/// Whether the game is heard on the device: as asked, else in the window modes only.
inline bool soundHeard(const Options& o) { return o.sound.value_or(!o.headless) && !o.headless; }

/// Smallest and largest window side --size accepts.
constexpr int MIN_SIDE = 100, MAX_SIDE = 8192;
/// Largest --scale.
constexpr int MAX_SCALE = 8;

struct ParsedOptions {
    Options options;
    std::string error; ///< empty when the arguments are good
};

/// Parses the arguments after the program name. Both "--seed N" and "--seed=N" work.
ParsedOptions parseOptions(const std::vector<std::string>& args);
/// The usage text (several lines, ending in a line end).
std::string usageText();
/// The --version line.
std::string versionText();
/// The program's version alone, as demos name it.
std::string programVersion();

} // namespace gs
