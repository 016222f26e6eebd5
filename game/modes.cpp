#include "game/modes.h"

#include "game/answers.h"
#include "game/level_file.h"
#include "game/progress.h"
#include "state/texts.h"
#include "system/runtime_error.h"

namespace gs {

namespace {

constexpr int RELEASE_YEAR = 2026;

struct Purchase {
    i16 typ; ///< -1: the roll buys nothing
    i16 cost;
};
// The skirmish purchase table, indexed by the roll II1.
constexpr Purchase PURCHASES[11] = {
    {-1, 0},       {T_HOUSE, 2}, {T_BUILDING, 3},  {-1, 0},      {T_TRANSPORTBTR, 4}, {T_LTANK, 7},
    {T_OTANK, 12}, {T_SAU, 8},   {T_ROCKETMAN, 6}, {T_RSZO, 13}, {T_ENEMYGUN, 10}};

/// Where a menu says that the last answer was not a number: just under the row the
/// answer is typed on, so the eye finds it there when the menu comes back.
constexpr u8 NOT_A_NUMBER_COL = 8, NOT_A_NUMBER_ROW = 10;
constexpr u8 ANSWER_ROW = 9;

void menuFrame(Game& G, bool gameType, bool lastWasNotANumber) {
    G.con.ClrScr();
    G.con.GotoXY(15, 1);
    G.con.WriteLn(text::TITLE);
    if (gameType) G.con.WriteLn(text::SELECT_GAME_TYPE);
    const char* const* points = gameType ? text::GAME_TYPES : text::MAIN_MENU;
    for (u8 row = 5; row <= 7; ++row) {
        G.con.GotoXY(10, row);
        G.con.WriteLn(points[row - 5]);
    }
    G.con.GotoXY(8, 8);
    G.con.WriteLn(text::SELECT_MENU_POINT);
    if (lastWasNotANumber) {
        G.con.GotoXY(NOT_A_NUMBER_COL, NOT_A_NUMBER_ROW);
        G.con.WriteLn(text::NOT_A_NUMBER);
        G.con.GotoXY(1, ANSWER_ROW); // the answer is typed where it always is
    }
}

/// A menu: drawn until its answer is 1, 2 or 3. An answer that is not a number shows
/// the menu again, saying so.
void menuAnswer(Game& G, bool gameType, u8& answer) {
    bool notANumber = false;
    do {
        menuFrame(G, gameType, notANumber);
        notANumber = !G.con.ReadUnsigned(answer);
    } while (notANumber || answer < 1 || answer > 3);
}

/// Per-level completion shared by every mode: reset, maximum and full hit points.
void completeLevel(Game& G) {
    MAXIMALHP(G);
    for (int i = 1; i <= G.units(); ++i) G.unit(i).HEALTH = G.unit(i).MAXHP;
}

/// Plays the level that `start` sets up until it is won, setting it up again after every
/// lost battle the player wants replayed. False when the player ended the program.
bool playUntilWon(Game& G, const BattleFn& battle, void (*start)(Game&)) {
    for (;;) {
        start(G);
        switch (battle(G)) {
        case Outcome::Won: return true;
        case Outcome::Replay: break;
        case Outcome::EndProgram: G.LOGIC = true; return false;
        }
    }
}

} // namespace

void startFileLevel(Game& G) {
    loadLevel(G);
    ANTICHEAT(G);
    completeLevel(G);
}

// What the kept progress could not do is said under the briefing, where it stays in sight.
void startCampaignLevel(Game& G) {
    startFileLevel(G);
    sayCampaignNotes(G);
}

void startSkirmishLevel(Game& G) {
    ANTICHEAT(G);
    G.con.ClrScr();
    completeLevel(G);
}

void MENU(Game& G, u8& M) { menuAnswer(G, false, M); }

void MENU2(Game& G, u8& MEN) { menuAnswer(G, true, MEN); }

void campaign(Game& G, const BattleFn& battle) {
    G.LEV = campaignFirstLevel(G);
    while (playUntilWon(G, battle, startCampaignLevel)) {
        campaignLevelWon(G);
        G.LEV = w16(G.LEV + 1);
        // The last level won ends the campaign with praise, not with a missing file.
        if (probeLevelFile(G.levels, G.LEV) == RE_FILE_NOT_FOUND) {
            sayCampaignNotes(G);
            G.con.WriteLn(text::CAMPAIGN_COMPLETE);
            G.con.WaitKey();
            return;
        }
    }
}

void customLevel(Game& G, const BattleFn& battle) {
    do {
        G.con.WriteLn(text::ENTER_LEVEL_NUMBER);
    } while (!readNumberAnswer(G, G.LEV));
    // A number without a file is the player's slip, not a broken installation: say so
    // and go back to the main menu. A missing directory or an unreadable file still ends
    // the game with its run-time error when the level is loaded.
    if (probeLevelFile(G.levels, G.LEV) == RE_FILE_NOT_FOUND) {
        G.con.WriteLn(text::NO_SUCH_LEVEL + std::to_string(G.LEV) + text::NO_SUCH_LEVEL_TAIL);
        G.con.WaitKey();
        return;
    }
    playUntilWon(G, battle, startFileLevel);
}

i16 skirmishBudget(i16 eil) { return w16(eil * 10); }

void generateSkirmish(Game& G) {
    G.NUMB = 0;
    G.INP3 = 1;
    do {
        G.II1 = w16(G.Random(11));
        const Purchase& p = PURCHASES[G.II1];
        if (p.typ >= 0) {
            if (G.CTS > p.cost) G.unit(G.INP3).TYP = p.typ;
            G.CTS = w16(G.CTS - p.cost);
        }
        // The slot is taken even when nothing was bought: it keeps the type it held.
        G.unit(G.INP3).X = w16(200 + G.Random(800));
        G.INP3 = w16(G.INP3 + 1);
        G.NUMB = w16(G.NUMB + 1);
    } while (G.CTS >= 5 && G.NUMB < MAXUNITS);
    G.FS = w16(20 + G.Random(20));
    G.BS = w16(10 + G.Random(10));
    G.TS = w16(G.Random(3));
    G.MAXGUNHP = w16(700 + G.Random(600));
    G.GUNHP = G.MAXGUNHP;
    G.GUNX = w16(10 + G.Random(100));
}

void skirmish(Game& G, const BattleFn& battle) {
    do {
        G.con.WriteLn(text::SELECT_DIFFICULTY);
    } while (!readNumberAnswer(G, G.EIL) || G.EIL < 1 || G.EIL > 5);
    G.CTS = skirmishBudget(G.EIL);
    generateSkirmish(G);
    // A replay keeps the roster, the gun and the stocks as the lost battle left them.
    playUntilWon(G, battle, startSkirmishLevel);
}

std::string aboutLine() {
    return std::string(text::TITLE) + " version " + GS_VERSION + ", " +
           std::to_string(RELEASE_YEAR) + text::ABOUT_TAIL;
}

void about(Game& G) {
    G.con.ClrScr();
    G.con.WriteLn(aboutLine());
    G.con.WaitKey();
}

void mainLoop(Game& G, const BattleFn& battle) {
    do {
        G.con.ClrScr();
        MENU(G, G.M);
        switch (G.M) {
        case 1:
            MENU2(G, G.MEN);
            if (G.MEN == 1) campaign(G, battle);
            if (G.MEN == 2) customLevel(G, battle);
            if (G.MEN == 3) skirmish(G, battle);
            break;
        case 2: about(G); break;
        default: G.LOGIC = true; break;
        }
    } while (!G.LOGIC);
}

void runGame(Game& G, const BattleFn& battle) {
    G.reseed();
    G.MOVING = false;
    G.LOGIC = false;
    mainLoop(G, battle);
}

} // namespace gs
