#include "game/answers.h"

#include "state/texts.h"

namespace gs {

namespace {

bool sayIfRefused(Game& G, bool isNumber) {
    if (!isNumber) G.con.WriteLn(text::NOT_A_NUMBER);
    return isNumber;
}

} // namespace

bool readNumberAnswer(Game& G, i16& a) { return sayIfRefused(G, G.con.ReadLn(a)); }

bool readNumberAnswer(Game& G, i16& a, i16& b) { return sayIfRefused(G, G.con.ReadLn(a, b)); }

} // namespace gs
