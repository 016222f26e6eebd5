#include "game/level_file.h"

#include "platform/text_file.h"

namespace gs {

namespace {
constexpr const char* LEVEL_DIR = "./level";
} // namespace

std::string levelFileName(i16 lev) {
    return std::string(LEVEL_DIR) + "/" + std::to_string(lev) + ".txt";
}

int probeLevelFile(i16 lev) { return probeTextFile(levelFileName(lev)); }

void loadLevel(Game& G) {
    G.con.ClrScr();
    G.LEV_STR = std::to_string(G.LEV);
    TextFile BR(levelFileName(G.LEV));
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
