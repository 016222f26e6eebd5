// The enemy's answer to the player's shot: every armed unit in range fires once,
// in roster order, and each shot is flown, exploded and scored before the next.
#include "combat/enemy_fire.h"

#include <cmath>
#include <cstdlib>

#include "combat/damage.h"
#include "combat/projectile.h"
#include "effects/explosions.h"

namespace gs {

namespace {

/// Aim of one unit: launch speed, distance aimed at, and the unit's range.
struct Aim {
    long double SPD1 = 0; ///< launch speed, sqrt(DIST x 9.8)
    long double LNG1 = 0; ///< distance aimed at, with the random error
};

/// Cosine and sine of the elevation that carries LNG1 at SPD1 under gravity 9.8:
/// the steeper of the two for artillery and salvoes, the flatter for tanks.
/// An aim pushed past the unit's range by the aiming error has no elevation of its
/// own; the crew then fires at the elevation of longest reach (45 degrees), so the
/// shell falls at the limit of the range instead of the gun holding fire.
void solution(const Aim& a, bool steep, long double& COSA1, long double& SINA1) {
    const long double s4 = a.SPD1 * a.SPD1 * a.SPD1 * a.SPD1;
    long double q = (s4 - 9.8L * 9.8L * a.LNG1 * a.LNG1) / s4;
    if (!(q > 0)) q = 0; // beyond reach (or no reach at all): the longest shot
    const long double rq = std::sqrt(q);
    COSA1 = std::sqrt((steep ? 1 - rq : 1 + rq) / 2);
    SINA1 = std::sqrt(1 - COSA1 * COSA1);
}

i16 roundToI16(long double v) { return w16(static_cast<std::int64_t>(std::nearbyint(v))); }

/// The blast of an enemy shell or rocket at `column`: the nearer the gun, the louder.
void impactNearGun(Game& G, int column) { G.sound(Sound::EnemyImpact, std::abs(column - G.GUNX)); }

/// Kinds 1 and 2: one shell on an exact parabola, time step 1.
void shell(Game& G, const OBJ& U, const Aim& a, bool steep) {
    long double COSA1, SINA1;
    solution(a, steep, COSA1, SINA1);
    const i16 DXX1 = w16(-roundToI16(COSA1 * a.SPD1) + G.Random(20) - 10);
    const i16 DYY1 = w16(roundToI16(SINA1 * a.SPD1) + G.Random(10) - 5);
    const int X = U.X;
    i16 BLP1 = 0, BLPY = 5;
    std::int64_t TMM1 = 0; // whole time steps: the positions are exact integers
    G.sound(Sound::EnemyShellFire);
    do {
        G.gr.SetColor(colour::White);
        G.gr.Circle(w16(X + BLP1), rowAbove(BLPY), 3);
        G.Delay(50);
        G.gr.SetColor(colour::Black);
        G.gr.Circle(w16(X + BLP1), rowAbove(BLPY), 3);
        BLP1 = w16(DXX1 * TMM1);
        BLPY = w16(DYY1 * TMM1 - 5 * TMM1 * TMM1);
        ++TMM1;
    } while (!(BLPY < 0));
    impactNearGun(G, X + BLP1);
    EXPLODE(G, w16(X + BLP1), GROUND);
    hitGun(G, X + BLP1, ENEMY_SHELL);
}

/// Kind 3: the guided rocket climbs on a fixed launch, seeks the gun on the way
/// down and dives at it, accelerating, once it is locked on or near the ground.
/// When it stands exactly over the gun's column it cannot lock on, and keeps seeking.
void rocket(Game& G, const OBJ& U) {
    const int X = U.X;
    i16 BLPY = 5, BLP1 = 10, DXX1 = -45, DYY1 = 65, BLP2 = 0, BLPY2 = 0, DFR1 = 0;
    const i16 DDY1 = 10;
    G.sound(Sound::EnemyRocketFire);
    G.gr.SetColor(colour::White);
    do {
        BLP2 = w16(BLP1 + tenthAway(DXX1));
        BLPY2 = w16(BLPY + tenthAway(DYY1));
        G.gr.SetColor(colour::White);
        G.gr.Circle(w16(X + BLP2), rowAbove(BLPY2), 3);
        G.Delay(10);
        G.gr.SetColor(colour::Black);
        G.gr.Circle(w16(X + BLP2), rowAbove(BLPY2), 3);
        DYY1 = w16(DYY1 - tenthAway(DDY1));
        BLP1 = BLP2;
        BLPY = BLPY2;
        if (DYY1 < 0) {
            do DFR1 = w16(G.Random(40) - 10);
            while (!(DFR1 < std::abs(DYY1)));
        }
        G.gr.SetColor(colour::Black);
    } while (!((DYY1 < 0 && pointsAtGun(BLP2, BLPY2, G.GUNX, DXX1, DYY1, DFR1)) || BLPY <= 1));

    // The dive: a grey smoke trail with a yellow head, left on the picture.
    do {
        G.gr.SetColor(colour::Black);
        diveStep(GUIDED_ROCKET_DIVE, BLP1, BLPY, DXX1, DYY1, BLP2, BLPY2);
        G.gr.SetFillStyle(1, colour::LightGrey);
        G.gr.FillEllipse(w16(X + BLP1), rowAbove(BLPY), 5, 5);
        G.gr.SetFillStyle(1, colour::Yellow);
        G.gr.FillEllipse(w16(X + BLP2), rowAbove(BLPY2), 5, 5);
        G.Delay(10);
        BLPY = BLPY2;
        BLP1 = BLP2;
    } while (!(BLPY2 < 0 || BLP2 < -2000));
    impactNearGun(G, X + BLP1);
    EXPLODE(G, w16(X + BLP1), GROUND);
    hitGun(G, X + BLP1, ENEMY_SHELL);
}

/// Kind 4: five rockets one after another from the launcher's rails, fanned out
/// by a fixed pattern, each integrated in steps of a tenth.
void salvo(Game& G, const OBJ& U, const Aim& a) {
    const int X = U.X;
    const int RAILS = 40; // the rockets leave this far right of the launcher's X
    const i16 DDY1 = 10;
    for (int NINP = 1; NINP <= 5; ++NINP) {
        i16 BLP1 = 0, BLPY = 20, BLP2 = 0, BLPY2 = 0;
        long double COSA1, SINA1;
        solution(a, true, COSA1, SINA1);
        i16 DXX1 = w16(2 - NINP - roundToI16(COSA1 * a.SPD1));
        i16 DYY1 = w16(1 - NINP + roundToI16(SINA1 * a.SPD1));
        G.sound(Sound::SalvoRocketFire);
        do {
            G.gr.SetColor(colour::Black);
            BLP2 = w16(BLP1 + tenthAway(DXX1));
            BLPY2 = w16(BLPY + tenthAway(DYY1));
            G.gr.SetFillStyle(1, colour::Yellow);
            G.gr.FillEllipse(w16(X + BLP2 + RAILS), rowAbove(BLPY2), 5, 5);
            G.gr.SetFillStyle(1, colour::LightGrey);
            G.gr.FillEllipse(w16(X + BLP1 + RAILS), rowAbove(BLPY), 5, 5);
            G.Delay(5);
            DYY1 = w16(DYY1 - tenthAway(DDY1));
            BLP1 = BLP2;
            BLPY = BLPY2;
        } while (!(BLPY <= 1));
        impactNearGun(G, X + BLP1 + RAILS);
        EXPLODE(G, w16(X + BLP1 + RAILS), GROUND);
        hitGun(G, X + BLP1, SALVO_ROCKET); // scored from the launcher's column, not the rails
    }
    G.Delay(100);
}

} // namespace

void AISHOT(Game& G) {
    // The aiming spread of each band of the escalation counter, in pixels.
    static constexpr i16 SPREAD[4] = {0, 200, 130, 50};
    G.reseed();
    for (int INP11 = 1; INP11 <= G.units(); ++INP11) {
        const OBJ& U = G.unit(INP11);
        // A counter outside its bands (never in play) keeps the spread it had.
        if (const int band = escalationBand(G.OBRU)) G.POGR = SPREAD[band];

        Aim a;
        // A unit without range has no launch speed; it cannot fire either.
        a.SPD1 = U.DIST > 0 ? std::sqrt(U.DIST * 9.8L) : 0;
        const int halfSpread = static_cast<int>(divEven(G.POGR, 2));
        a.LNG1 = (U.X - G.GUNX) + G.Random(G.POGR) - halfSpread;

        const int away = std::abs(U.X - G.GUNX);
        if (!(U.SHOT > 0 && away < U.DIST && away > 100 && U.HEALTH > 0)) continue;
        switch (U.SHOT) {
        case 1: shell(G, U, a, true); break;
        case 2: shell(G, U, a, false); break;
        case 3: rocket(G, U); break;
        case 4: salvo(G, U, a); break;
        case 5:
            if (G.OBRU < OBRU_MAX) G.OBRU = w16(G.OBRU + 1);
            break;
        default: break; // no other kind of fire exists
        }
    }
}

} // namespace gs
