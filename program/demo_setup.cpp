#include "program/demo_setup.h"

namespace gs {

std::string setUpDemos(Options& o, DemoSetup& d, std::uint32_t clockSeed) {
    if (o.replay) {
        std::string why;
        d.replay = loadDemo(*o.replay, why);
        if (!d.replay) return "cannot replay " + *o.replay + ": " + why;
        const Demo& r = *d.replay;
        if (r.width < MIN_SIDE || r.width > MAX_SIDE || r.height < MIN_SIDE || r.height > MAX_SIDE)
            return "cannot replay " + *o.replay + ": damaged: a picture size of " +
                   std::to_string(r.width) + "x" + std::to_string(r.height);
        // The seed and the picture size decide the game as much as the keys do: the
        // demo's own must be used, and an option that says otherwise is a mistake.
        if (o.seed && *o.seed != r.seed)
            return "cannot replay " + *o.replay + ": it was recorded with seed " +
                   std::to_string(r.seed) + ", not " + std::to_string(*o.seed);
        if (o.sizeGiven && (o.width != r.width || o.height != r.height))
            return "cannot replay " + *o.replay + ": it was recorded at size " +
                   std::to_string(r.width) + "x" + std::to_string(r.height);
        o.seed = r.seed;
        o.width = r.width;
        o.height = r.height;
        o.sizeGiven = true;
        if (r.program != programVersion())
            d.note = *o.replay + " was recorded by version " + shownDemoText(r.program) +
                     "; this is " + programVersion() + ", so the game may go differently";
    }
    if (o.record) {
        if (!o.seed) o.seed = clockSeed;
        Demo start;
        start.program = programVersion();
        start.seed = *o.seed;
        start.width = o.width;
        start.height = o.height;
        std::string why;
        if (!saveDemo(*o.record, start, why)) return "cannot record to " + *o.record + ": " + why;
        d.record = std::move(start);
    }
    return {};
}

} // namespace gs
