#include "game/battle.h"

#include "air/raids.h"
#include "combat/damage.h"
#include "combat/enemy_fire.h"
#include "combat/flight.h"
#include "combat/health.h"
#include "combat/movement.h"
#include "effects/explosions.h"
#include "game/answers.h"
#include "render/field.h"
#include "render/sprites.h"
#include "state/texts.h"

namespace gs {

namespace {

i16& stockOf(Game& G, i16 snaryad) {
    switch (snaryad) {
    case A_FUGASY: return G.FS;
    case A_ARMORBITING: return G.BS;
    default: return G.TS;
    }
}

bool noShellsLeft(const Game& G) { return G.FS <= 0 && G.BS <= 0 && G.TS <= 0; }

/// The whole picture, always in this order: each layer relies on the drawing state the
/// one before it leaves, and drawing the units arms them for the flight.
void drawBattlefield(Game& G) {
    FIELD(G);
    PAINTOBJ(G);
    HEALTH(G);
    GUN(G);
}

/// Asks for the ammunition until a type with shells is chosen; false when the player
/// has no shells at all, so the question cannot be answered.
bool chooseAmmunition(Game& G) {
    for (;;) {
        if (noShellsLeft(G)) {
            G.con.WriteLn(text::NO_SHELLS_LEFT);
            return false;
        }
        do {
            G.con.WriteLn(text::AMMO_QUESTION);
        } while (!readNumberAnswer(G, G.SNARYAD) || G.SNARYAD < A_FUGASY || G.SNARYAD > A_NUCLEAR);
        if (stockOf(G, G.SNARYAD) > 0) return true;
        G.con.WriteLn(text::NO_AMMUNITION[G.SNARYAD - A_FUGASY]);
    }
}

void impactPicture(Game& G) {
    const i16 col = w16(G.GUNX + G.X);
    const i16 row = G.Y > 0 ? rowAbove(G.Y) : i16(GROUND);
    static constexpr Sound BLAST[3] = {Sound::FugasyBlast, Sound::ArmorBitingBlast,
                                       Sound::NuclearBlast};
    G.sound(BLAST[G.SNARYAD == A_FUGASY ? 0 : G.SNARYAD == A_ARMORBITING ? 1 : 2]);
    switch (G.SNARYAD) {
    case A_FUGASY: EXPLODE(G, col, row); break;
    case A_ARMORBITING: BEXPLODE(G, col, row); break;
    default: NUCLEAR(G, col, GROUND); break; // the mushroom always grows from the ground
    }
}

/// Blows up every unit whose hit points have just run out; a unit already marked
/// destroyed is not blown up again.
void destroyUnits(Game& G) {
    for (G.INP1 = 1; G.INP1 <= G.units(); G.INP1 = w16(G.INP1 + 1)) {
        OBJ& unit = G.unit(G.INP1);
        if (unit.HEALTH > 0) continue;
        if (unit.UVIS == 0) {
            G.sound(Sound::UnitDestroyed);
            XEXPLODE(G, unit.X, GROUND);
        }
        unit.UVIS = 1;
        unit.GX = 0;
        unit.GY = 0;
    }
}

void enemyPhase(Game& G) {
    AISHOT(G);
    G.ALLHP = 0;
    AIRSTRIKE(G);
    CARPETBOMBING(G);
    MOVE(G);
    const i16 radarBefore = G.RADAR;
    RADARMACH(G);
    if (radarBefore == 1 && G.RADAR == 2) G.sound(Sound::RadarDeploy);
}

/// The defeat question; it always ends the battle.
Outcome replayQuestion(Game& G) {
    G.sound(Sound::LevelLost);
    for (;;) {
        G.con.WriteLn(text::REPLAY_QUESTION);
        G.DIAL = G.con.ReadCharLn();
        G.gr.CloseGraph();
        if (G.DIAL == 'Y' || G.DIAL == 'y') return Outcome::Replay;
        if (G.DIAL == 'N' || G.DIAL == 'n') return Outcome::EndProgram;
    }
}

bool allUnitsDown(Game& G) {
    int total = 0;
    for (G.INP4 = 1; G.INP4 <= G.units(); G.INP4 = w16(G.INP4 + 1)) total += G.unit(G.INP4).HEALTH;
    G.ALLHP = w16(total);
    return G.ALLHP == 0;
}

} // namespace

Outcome battle(Game& G) {
    G.GD = 0;
    G.GM = 30000;
    G.gr.InitGraph(G.GD, G.GM, "");
    G.OBRU = 1;
    drawBattlefield(G);
    G.con.WaitKey(); // the key stays pending: it starts the first answer
    G.reseed();

    for (;;) {
        GARMHEALTH(G);
        if (!chooseAmmunition(G)) {
            G.LOSE = true;
            return replayQuestion(G);
        }
        do {
            G.con.WriteLn(text::SHOT_QUESTION);
        } while (!readNumberAnswer(G, G.V, G.A));
        shotVelocity(G.V, G.A, G.DX, G.DY);
        G.CHEAT = w16(G.V + G.A);
        CHECKCHEAT(G);

        G.gr.ClearDevice();
        drawBattlefield(G);
        FLY(G);
        i16& stock = stockOf(G, G.SNARYAD);
        stock = w16(stock - 1);
        impactPicture(G);
        if (canEscalate(G.OBRU)) G.OBRU = w16(G.OBRU + 1);
        URONIX(G, w16(G.GUNX + G.X));
        G.Delay(100);
        // Firing the last shell loses the level, even if it finished the enemy.
        if (noShellsLeft(G)) G.LOSE = true;
        SPLASH(G);
        destroyUnits(G);

        enemyPhase(G);
        if (G.GUNHP <= 0) {
            G.con.WriteLn(text::DEAD);
            G.LOSE = true;
        }
        if (G.LOSE) return replayQuestion(G);

        GARMHEALTH(G);
        if (allUnitsDown(G)) G.VICT = true;
        if (G.VICT) {
            G.sound(Sound::LevelWon);
            G.con.WriteLn(text::VICTORY);
            G.Delay(1500);
            G.gr.CloseGraph();
            G.Q = 1; // ends the turn loop; the game mode decides what follows
            return Outcome::Won;
        }
    }
}

} // namespace gs
