#include "game/level_file.h"

#include <cstdlib>

#include "state/texts.h"
#include "system/directories.h"
#include "system/runtime_error.h"
#include "system/shown_text.h"
#include "system/text_file.h"

namespace gs {

namespace {

/// `dir` + "/" + `name`, without doubling a slash that ends `dir`.
std::string under(std::string dir, const std::string& name) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir == "/" ? dir + name : dir + "/" + name;
}

/// The player's own level directory, or nothing when neither XDG_DATA_HOME nor HOME says
/// where the player's files are. A relative XDG_DATA_HOME or HOME is no place (it would
/// be read from wherever the game was started): it is ignored.
std::optional<std::string> playerLevelDirectory() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return under(data, "gorvenshale/level");
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return under(home, ".local/share/gorvenshale/level");
    return std::nullopt;
}

} // namespace

std::vector<std::string> levelDirectoryPlaces(const std::optional<std::string>& given) {
    if (given) return {*given};
    std::vector<std::string> places{"./level"};
    if (auto own = playerLevelDirectory()) places.push_back(*own);
    places.push_back(installedLevelDirectory());
    return places;
}

std::string installedLevelDirectory() { return GS_INSTALLED_LEVEL_DIR; }

LevelDirectory findLevelDirectory(std::vector<std::string> places) {
    auto found = firstDirectory(places);
    return {std::move(places), std::move(found)};
}

std::string missingLevelDirectoryNote(const LevelDirectory& dir) {
    // A directory that was there at the start and has gone since is the one looked for.
    const std::vector<std::string> looked =
        dir.found ? std::vector<std::string>{*dir.found} : dir.places;
    std::string note = text::NO_LEVEL_DIRECTORY;
    // The places come from the environment and the command line: a byte in them must not
    // act on the terminal, nor a line end split the report.
    for (std::size_t i = 0; i < looked.size(); ++i) note += (i ? ", " : "") + shownText(looked[i]);
    return note + "\n";
}

std::string levelFileName(const LevelDirectory& dir, i16 lev) {
    const std::string folder = dir.found            ? *dir.found
                               : dir.places.empty() ? std::string("./level")
                                                    : dir.places.front();
    return under(folder, std::to_string(lev) + ".txt");
}

int probeLevelFile(const LevelDirectory& dir, i16 lev) {
    if (!dir.found) return RE_PATH_NOT_FOUND;
    return probeTextFile(levelFileName(dir, lev));
}

void loadLevel(Game& G) {
    G.con.ClrScr();
    G.LEV_STR = std::to_string(G.LEV);
    // No level directory was found at the start: none is looked for again, so that the
    // game's levels cannot come from two places.
    if (!G.levels.found) raiseRuntimeError(RE_PATH_NOT_FOUND);
    TextFile BR(levelFileName(G.levels, G.LEV));
    G.NUMB = w16(BR.readNumber());
    G.GUNX = w16(BR.readNumber());
    G.FS = w16(BR.readNumber());
    G.BS = w16(BR.readNumber());
    G.TS = w16(BR.readNumber());
    G.MAXGUNHP = w16(BR.readNumber());
    const int announced = G.NUMB;
    // The roster holds 20: the pairs of further units are read (so the briefing starts in
    // the right place) but not kept.
    if (G.NUMB > MAXUNITS) G.NUMB = MAXUNITS;
    for (int i = 1; i <= announced; ++i) {
        G.INP = w16(i);
        i16 x = w16(BR.readNumber());
        i16 typ = w16(BR.readNumber());
        if (i <= MAXUNITS) {
            G.unit(i).X = x;
            G.unit(i).TYP = typ;
        }
    }
    G.con.ClrScr();
    do {
        G.S = BR.readString();
        BR.readLn();
        G.con.WriteLn(G.S);
    } while (!BR.eof());
}

} // namespace gs
