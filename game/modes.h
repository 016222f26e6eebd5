// The outer control of the game: the main menu, the game-type menu, the three game modes
// (Campaign, Custom level, Skirmish) with the skirmish roster generator, About and Quit.
#pragma once

#include <functional>
#include <string>

#include "game/battle.h"
#include "state/game.h"

namespace gs {

/// The battle each level start runs; the game passes `battle`, tests pass a stand-in.
using BattleFn = std::function<Outcome(Game&)>;

/// Main menu; on return M is 1 (Play), 2 (About) or 3 (Quit).
void MENU(Game& G, u8& M);
/// Game-type menu; on return MEN is 1 (Campaign), 2 (Custom level) or 3 (Skirmish).
void MENU2(Game& G, u8& MEN);

/// The Campaign: levels 1, 2, 3, ... until the last file, a defeat without replay, or an
/// error; with --continue from the level after the last Campaign level won.
void campaign(Game& G, const BattleFn& battle);
/// A Custom level whose number the player types; a number without a level file is said
/// to be no level, and after a key the main menu comes back.
void customLevel(Game& G, const BattleFn& battle);
/// A Skirmish: difficulty, generated roster, battle and its replays.
void skirmish(Game& G, const BattleFn& battle);
/// Level start of a file level: loads level LEV (its briefing shown), the per-level reset,
/// maximum and full hit points.
void startFileLevel(Game& G);
/// Level start of a Campaign level: as a file level, then under the briefing what the
/// kept Campaign progress could not do (game/progress.h).
void startCampaignLevel(Game& G);
/// Level start of a skirmish: the per-level reset, a cleared console, full hit points.
void startSkirmishLevel(Game& G);
/// The skirmish's unit budget CTS at difficulty EIL (1 to 5).
i16 skirmishBudget(i16 eil);
/// Fills roster, stocks and gun at random from the budget CTS. Never more than 20 units:
/// when the roster is full the purchases stop, whatever budget is left.
void generateSkirmish(Game& G);
/// The About screen: one line naming the game, its version and year; then a key wait.
void about(Game& G);

/// The About line.
std::string aboutLine();

/// Shows menus until the player quits or a battle ends the program (LOGIC true).
void mainLoop(Game& G, const BattleFn& battle);
/// Program start: seeds the generator, sets MOVING and LOGIC false, runs the main loop.
void runGame(Game& G, const BattleFn& battle);

} // namespace gs
