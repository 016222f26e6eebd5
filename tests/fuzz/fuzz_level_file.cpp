// The level-file loader on arbitrary file contents, followed by what the level start and
// the first turn do with what it read: the per-level reset, the full hit points, the
// picture of the field, the units and the gun, and one shell flight over that roster.
//
// Each input is written as level/1.txt in a scratch directory. The loader may end the
// game with run-time error 106 (a token that is not a number); anything else it reads
// must leave a roster the rest of the game can use.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "combat/flight.h"
#include "combat/health.h"
#include "game/level_file.h"
#include "render/field.h"
#include "render/sprites.h"
#include "state/game.h"
#include "system/runtime_error.h"

namespace {

using namespace gs;

[[noreturn]] void fail(const char* what, long a, long b) {
    std::fprintf(stderr, "level fault: %s (%ld, %ld)\n", what, a, b);
    std::abort();
}

/// Collects the console's output as plain text; there is never a key to read.
class PlainTerminal : public Terminal {
public:
    std::optional<int> pollKey() override { return std::nullopt; }
    int waitKey() override { raiseRuntimeError(RE_INPUT_ENDED); }
    void write(std::string_view bytes) override { out.append(bytes); }
    void clear() override { out.clear(); }
    void moveCursor(int, int) override {}
    bool isScreen() const override { return false; }
    std::string out;
};

std::string scratch;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char tmpl[] = "/tmp/gs_fuzz_level_XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    scratch = tmpl;
    if (chdir(tmpl) != 0 || mkdir("level", 0700) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        int fd = open("level/1.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) std::abort();
        if (size && write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
        close(fd);
    }
    Graph gr(Graph::Config{true, 640, 480, true});
    gr.setFatalHandler([](const std::string& m) {
        std::fprintf(stderr, "unexpected fatal drawing error: %s\n", m.c_str());
        std::abort();
    });
    PlainTerminal term;
    Console con(term);
    Clock clk(Clock::Config{true, 0u});
    Rng rnd;
    Game G(gr, con, clk, rnd);
    G.LEV = 1;
    try {
        loadLevel(G);
    } catch (const RuntimeError& e) {
        if (e.code != RE_INVALID_NUMBER) fail("unexpected runtime error", e.code, 0);
        return 0;
    }
    if (G.units() < 0 || G.units() > MAXUNITS || G.NUMB > MAXUNITS) fail("roster size", G.NUMB, 0);
    if (G.LEV_STR != "1") fail("level name", 0, 0);
    // The briefing: at least one line, none longer than 255 bytes.
    if (term.out.empty() || term.out.back() != '\n') fail("briefing does not end its line", 0, 0);
    std::size_t start = 0;
    for (std::size_t p; (p = term.out.find('\n', start)) != std::string::npos; start = p + 1)
        if (p - start > MAX_TOKEN) fail("briefing line too long", static_cast<long>(p - start), 0);

    ANTICHEAT(G);
    MAXIMALHP(G);
    for (int i = 1; i <= G.units(); ++i) G.unit(i).HEALTH = G.unit(i).MAXHP;
    G.GD = 0;
    G.GM = 30000;
    gr.InitGraph(G.GD, G.GM, "");
    G.OBRU = 1;
    GARMHEALTH(G);
    FIELD(G);
    PAINTOBJ(G);
    HEALTH(G);
    GUN(G);
    // One shot whose velocity comes from the file's last bytes.
    if (size >= 2) {
        G.DX = static_cast<i16>(static_cast<std::int8_t>(data[size - 2]) * 3);
        G.DY = static_cast<i16>(static_cast<std::int8_t>(data[size - 1]));
        FLY(G);
    }
    gr.CloseGraph();
    return 0;
}
