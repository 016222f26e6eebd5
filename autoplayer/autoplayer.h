// The automatic player: it sits where the player types and answers every question of
// the battle. At each turn it picks the ammunition and searches speed and angle over the
// game's own flight and damage rules for the best shot it can find.
//
// It knows only what the player sees: the units on the field (position, type, health
// bar), the stocks in the panel, the gun's hit points and the escalation indicator. It
// never touches the random generator, so the enemy's dice stay the enemy's.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "console/console.h"
#include "state/game.h"

namespace gs {

/// One shot as the player types it, and what the player expects of it.
struct Shot {
    i16 ammo = A_FUGASY;
    i16 speed = 0;
    i16 angle = 0;
    i16 column = 0;     ///< where the shell should stop (screen x)
    double value = 0;   ///< the planner's score; higher is better
    int damage = 0;     ///< hit points it should take off standing units
    int selfDamage = 0; ///< hit points it should take off the player's own gun
};

/// The screen column where a shell of velocity (DX, DY) stops over the roster as it
/// stands; hit boxes are those the units will have when the picture is next drawn.
i16 stopColumn(const State& s, i16 DX, i16 DY);

/// Chooses the best shot for the battle in its current state, trying the damage rule
/// out on a scratch copy of the state.
Shot planShot(const State& G);

/// A terminal on which the automatic player answers. Plug it under the game's console;
/// attach it to the game once the game exists.
class AutoTerminal : public Terminal {
public:
    AutoTerminal() = default;
    void attach(Game& G) { game_ = &G; }

    /// Keys typed first, before the player starts answering by itself (menu answers).
    void preset(const std::string& keys) { keys_.insert(keys_.end(), keys.begin(), keys.end()); }
    /// How many times to answer "Y" at the defeat question before answering "N".
    int replays = 0;
    /// After this many shots the player gives up: the input ends (run-time error 100).
    /// So it does after a thousand key waits in a row that ask nothing it knows.
    int maxShots = 400;
    /// Keeps the whole dialogue in `transcript` when set.
    bool keepTranscript = false;

    std::optional<int> pollKey() override;
    int waitKey() override;
    void write(std::string_view bytes) override;
    void clear() override { write("\n"); }
    void moveCursor(int, int) override {}
    bool isScreen() const override { return false; }

    std::vector<Shot> shots; ///< every shot fired, in order
    std::string transcript;

private:
    int next();
    void answer();
    Game* game_ = nullptr;
    std::deque<char> keys_;
    std::string recent_; ///< what the game wrote since the last answer
    Shot planned_;
    int idle_ = 0; ///< waits in a row that were not a question the player knows
};

/// A level as the game starts it: roster, gun and stocks in place, then the per-level
/// reset and full hit points. Loads the file of `lev` (briefing to the console).
void openLevel(Game& G, i16 lev);
/// The same start for a Skirmish of difficulty `eil`, with a roster bought at random.
void openSkirmish(Game& G, i16 eil);

/// The whole game for the automatic player, on a headless picture and the fast clock.
struct AutoGame {
    explicit AutoGame(std::uint32_t seed);
    Graph gr;
    AutoTerminal term;
    Console con;
    Clock clk;
    Rng rnd;
    Game G;
};

} // namespace gs
