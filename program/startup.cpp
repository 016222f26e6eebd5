#include "program/startup.h"

#include "game/level_file.h"

namespace gs {

Start startUp(const std::vector<std::string>& args, std::uint32_t clockSeed) {
    Start s;
    ParsedOptions parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        s.err = "gorvenshale: " + parsed.error + "\n" + usageText();
        s.endNow = 2;
        return s;
    }
    Options& o = s.options = std::move(parsed.options);
    if (o.help || o.version) {
        s.out = o.help ? usageText() : versionText();
        s.endNow = 0;
        return s;
    }
    // A demo that cannot be played, or a recording that cannot be written, stops here. A
    // replay's seed and size become the options' own.
    if (std::string why = setUpDemos(o, s.demos, clockSeed); !why.empty()) {
        s.err = "gorvenshale: " + why + "\n";
        s.endNow = 2;
        return s;
    }
    if (!s.demos.note.empty()) s.err = "gorvenshale: note: " + s.demos.note + "\n";
    s.levels = findLevelDirectory(levelDirectoryPlaces(o.levels));
    s.clock = Clock::Config{o.fast, o.seed};
    s.picture = Graph::Config{o.headless, o.width, o.height, o.sizeGiven, o.scale};
    return s;
}

std::string endReport(const RuntimeError& e, const LevelDirectory& levels) {
    std::string text = runtimeErrorReport(e);
    // Only a level file meets a missing directory: say where the levels were looked for.
    if (e.code == RE_PATH_NOT_FOUND) text += missingLevelDirectoryNote(levels);
    return text;
}

} // namespace gs
