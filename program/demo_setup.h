// What --record and --replay settle before the game starts: the demo to play back, the
// seed and picture size both runs must share, and the file the recording goes to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "demo/demo_file.h"
#include "program/options.h"

namespace gs {

struct DemoSetup {
    std::optional<Demo> replay; ///< the demo --replay plays back
    std::optional<Demo> record; ///< the start of the demo --record keeps (no keys yet)
    std::string note;           ///< one line for standard error; the game still plays
};

/// Loads the --replay demo and takes its seed and size; gives a recording made without
/// --seed the seed `clockSeed` (read from the real clock), so that it plays as with
/// --seed and can be played back; writes the empty recording at once, so that a file
/// that cannot be written is known before anything is played. Returns the one-line
/// reason when the game must not start (exit status 2), else an empty string.
std::string setUpDemos(Options& o, DemoSetup& d, std::uint32_t clockSeed);

} // namespace gs
