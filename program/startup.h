// The one start-up of the desktop's program and the browser's: the options, the demos, the
// level directory, the clock and the picture, settled before a terminal, a window or a
// page is touched. Both entry points take their game from here, so that the same options
// start the same game on either.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "picture/graph.h"
#include "program/demo_setup.h"
#include "program/options.h"
#include "state/level_directory.h"
#include "system/clock.h"
#include "system/runtime_error.h"

namespace gs {

struct Start {
    Options options;
    DemoSetup demos;       ///< the demo to replay, the recording to keep
    LevelDirectory levels; ///< every level of this game comes from here
    Clock::Config clock;
    Graph::Config picture;
    /// Set when the program ends before any game: --help, --version, a refused option or
    /// demo. `out` and `err` are written first.
    std::optional<int> endNow;
    std::string out; ///< for standard output: the usage or the version
    std::string err; ///< for standard error: why the game cannot start, or a demo's note
};

/// Settles the game the arguments after the program name ask for. `clockSeed` is the seed
/// a recording without --seed is given (read from the real clock).
Start startUp(const std::vector<std::string>& args, std::uint32_t clockSeed);

/// The report that ends a game on a run-time error: the error and its trace, and where the
/// levels were looked for when it was the level directory that was missing.
std::string endReport(const RuntimeError& e, const LevelDirectory& levels);

} // namespace gs
