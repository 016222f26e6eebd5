#include "autoplayer/autoplayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

#include "combat/damage.h"
#include "combat/flight.h"
#include "game/modes.h"
#include "state/texts.h"
#include "system/runtime_error.h"

namespace gs {

namespace {

/// What the player knows of a unit from its look: how it moves, how big a target it is,
/// and how it fires.
Arms knownOf(const State& state, const OBJ& unit) {
    if (const auto look = lookOf(unit.TYP, state.RADAR)) return unitKind(*look).arms;
    return {unit.SPEED, unit.GX, unit.GY, unit.SHOT,
            unit.DIST}; // an unknown look: trust the record
}

bool standing(const OBJ& unit) { return unit.UVIS == 0 && unit.HEALTH > 0; }

/// Gun hit points a unit of this kind of fire takes, on average, in one enemy turn.
double fireThreat(int shot) {
    switch (shot) {
    case 1: return 90;  // artillery: steep, wide spread
    case 2: return 130; // tank: close and flat
    case 3: return 70;  // guided rocket
    case 4: return 260; // a salvo of five
    case 5: return 150; // radar fix: sharper aim for everyone, aircraft sooner
    default: return 0;
    }
}

/// How much the player wants this unit gone, on top of the plain need to destroy it.
double priority(const State& state, const OBJ& unit) {
    const Arms arms = knownOf(state, unit);
    const int dist = unit.X - state.GUNX;
    const int away = std::abs(dist);
    double want = 0;
    if (arms.SHOT > 0) {
        if (away > 100 && away < arms.DIST) {
            want += fireThreat(arms.SHOT);
        } else if (arms.SPEED > 0 && away >= arms.DIST) {
            // Mobile units advance about every other turn.
            const double turns = 2.0 * (away - arms.DIST) / arms.SPEED;
            want += fireThreat(arms.SHOT) / (1 + turns / 2);
        }
    }
    if (arms.SPEED > 0) {
        // A unit that reaches the gun ends the battle at once.
        const double turns = 2.0 * std::max(0, dist - 19) / arms.SPEED;
        want += 1500 / (1 + turns);
    }
    if (unit.TYP == T_RADARMACH && state.RADAR == 1) want += 300; // before it stops and deploys
    return want;
}

/// A shell's usual yield, which is what firing it costs when shells run short.
double typicalYield(int ammo) {
    switch (ammo) {
    case A_FUGASY: return 380;
    case A_ARMORBITING: return 800;
    default: return 1800;
    }
}

/// Every distinct velocity the sight can give for speeds 1..100 and angles 1..89, with
/// the first speed and angle that give it.
struct Aim {
    i16 DX, DY, V, A;
};

const std::vector<Aim>& aims() {
    static const std::vector<Aim> all = [] {
        std::map<std::pair<int, int>, Aim> seen;
        for (int V = 1; V <= 100; ++V)
            for (int A = 1; A <= 89; ++A) {
                i16 dx = 0, dy = 0;
                shotVelocity(static_cast<i16>(V), static_cast<i16>(A), dx, dy);
                if (dx > 0 && dy > 0)
                    seen.emplace(std::make_pair(int(dx), int(dy)),
                                 Aim{dx, dy, static_cast<i16>(V), static_cast<i16>(A)});
            }
        std::vector<Aim> v;
        v.reserve(seen.size());
        for (auto& [key, a] : seen) v.push_back(a);
        return v;
    }();
    return all;
}

} // namespace

i16 stopColumn(const State& state, i16 DX, i16 DY) {
    // The boxes as the next picture will arm them: standing units by their look,
    // destroyed ones empty.
    std::vector<OBJ> boxes;
    int top = 0;
    for (int i = 1; i <= state.units(); ++i) {
        const OBJ& unit = state.unit(i);
        if (unit.UVIS != 0) continue;
        OBJ box = unit;
        const Arms arms = knownOf(state, unit);
        box.GX = arms.GX;
        box.GY = arms.GY;
        top = std::max<int>(top, arms.GY);
        boxes.push_back(box);
    }
    i16 X = 0, Y = 0;
    // A shell with DY steps up comes down within DY + 2 steps; the bound only guards
    // against velocities the planner never tries.
    for (int T = 0; T < 2000; ++T) {
        shellAt(DX, DY, static_cast<i16>(T), X, Y);
        if (Y < 0) break;
        if (Y < top && std::any_of(boxes.begin(), boxes.end(),
                                   [&](const OBJ& box) { return inHitBox(box, state.GUNX, X, Y); }))
            break;
    }
    return w16(state.GUNX + X);
}

Shot planShot(const State& G) {
    // Candidate stop columns, each with one speed and angle that reaches it.
    std::map<int, const Aim*> columns;
    for (const Aim& a : aims()) columns.emplace(stopColumn(G, a.DX, a.DY), &a);

    double need = 0;
    std::vector<double> weight(static_cast<std::size_t>(G.units() + 1), 0);
    for (int i = 1; i <= G.units(); ++i) {
        const OBJ& unit = G.unit(i);
        if (!standing(unit)) continue;
        need += unit.HEALTH;
        weight[static_cast<std::size_t>(i)] = 1 + priority(G, unit) / 100;
    }
    // Short of shells, each one must earn its keep; the last one can never be fired
    // without losing, so it does not count.
    const double capacity = std::max(0, int(G.FS)) * typicalYield(A_FUGASY) +
                            std::max(0, int(G.BS)) * typicalYield(A_ARMORBITING) +
                            std::max(0, int(G.TS)) * typicalYield(A_NUCLEAR) -
                            typicalYield(A_FUGASY);
    const double scarcity = capacity > 0 ? need / capacity : 10;
    const double thrift = std::clamp((scarcity - 0.4) * 1.5, 0.0, 1.0);

    State scratch = G;

    Shot best;
    best.value = -1e18;
    const i16 stocks[4] = {0, G.FS, G.BS, G.TS};
    for (int ammo = A_FUGASY; ammo <= A_NUCLEAR; ++ammo) {
        if (stocks[ammo] <= 0) continue;
        for (const auto& [column, aim] : columns) {
            for (int i = 1; i <= G.units(); ++i) scratch.unit(i).HEALTH = G.unit(i).HEALTH;
            scratch.GUNHP = G.GUNHP;
            scratch.SNARYAD = static_cast<i16>(ammo);
            scratch.X = w16(column - G.GUNX);
            URONIX(scratch, static_cast<i16>(column));
            SPLASH(scratch);

            double value = 0;
            int damage = 0;
            for (int i = 1; i <= G.units(); ++i) {
                const OBJ& unit = G.unit(i);
                if (!standing(unit)) continue;
                const int loss = unit.HEALTH - scratch.unit(i).HEALTH;
                if (loss <= 0) continue;
                const int taken = std::min(loss, int(unit.HEALTH));
                damage += taken;
                const double unitWeight = weight[static_cast<std::size_t>(i)];
                value += unitWeight * taken;
                if (loss >= unit.HEALTH)
                    value += unitWeight * 250; // a kill ends its threat at once
            }
            const int self = G.GUNHP - scratch.GUNHP;
            if (self >= G.GUNHP && self > 0) value -= 1e9; // never wreck our own gun
            value -= 4.0 * self;
            value -= thrift * typicalYield(ammo);
            if (value > best.value) {
                best.ammo = static_cast<i16>(ammo);
                best.speed = aim->V;
                best.angle = aim->A;
                best.column = static_cast<i16>(column);
                best.value = value;
                best.damage = damage;
                best.selfDamage = self;
            }
        }
    }
    if (best.value == -1e18) best = Shot{A_FUGASY, 30, 45, 0, 0, 0, 0}; // nothing to fire
    return best;
}

// The terminal: it answers whatever the game last asked.

void AutoTerminal::write(std::string_view bytes) {
    recent_ += bytes;
    if (keepTranscript) transcript += bytes;
    // Only the tail matters for recognising the question.
    if (recent_.size() > 4096) recent_.erase(0, recent_.size() - 1024);
}

void AutoTerminal::answer() {
    const auto at = [&](const char* text) {
        const auto found = recent_.rfind(text);
        return found == std::string::npos ? -1 : static_cast<long>(found);
    };
    const long ammoQ = at(text::AMMO_QUESTION);
    const long shotQ = at(text::SHOT_QUESTION);
    const long replayQ = at(text::REPLAY_QUESTION);
    std::string line;
    if (replayQ >= 0 && replayQ > ammoQ && replayQ > shotQ) {
        line.assign(1, replays > 0 ? 'Y' : 'N');
        if (replays > 0) --replays;
    } else if (shotQ >= 0 && shotQ > ammoQ) {
        line = std::to_string(planned_.speed) + " " + std::to_string(planned_.angle);
        shots.push_back(planned_);
    } else if (ammoQ >= 0) {
        if (static_cast<int>(shots.size()) >= maxShots) raiseRuntimeError(RE_INPUT_ENDED);
        planned_ = game_ ? planShot(*game_) : Shot{A_FUGASY, 30, 45, 0, 0, 0, 0};
        line = std::to_string(planned_.ammo);
    } else if (recent_.find(text::SELECT_MENU_POINT) != std::string::npos &&
               recent_.find(text::SELECT_GAME_TYPE) == std::string::npos) {
        line = "3"; // back at the main menu once the play is over: Quit
    }
    // Anything else is a wait for a key (the battle's start, the overrun): Enter, which
    // a number read ignores. A game that keeps waiting for something else is stuck.
    idle_ = line.empty() ? idle_ + 1 : 0;
    if (idle_ > 1000) raiseRuntimeError(RE_INPUT_ENDED);
    keys_.insert(keys_.end(), line.begin(), line.end());
    keys_.push_back('\r');
    recent_.clear();
}

int AutoTerminal::next() {
    if (keys_.empty()) answer();
    const char ch = keys_.front();
    keys_.pop_front();
    return ch == '\r' || ch == '\n' ? KEY_ENTER : static_cast<unsigned char>(ch);
}

std::optional<int> AutoTerminal::pollKey() { return next(); }
int AutoTerminal::waitKey() { return next(); }

void openLevel(Game& G, i16 lev) {
    G.LEV = lev;
    startFileLevel(G);
}

void openSkirmish(Game& G, i16 eil) {
    G.EIL = eil;
    G.CTS = skirmishBudget(std::clamp<i16>(eil, 1, 5));
    generateSkirmish(G);
    startSkirmishLevel(G);
}

AutoGame::AutoGame(std::uint32_t seed)
    : gr(Graph::Config{true, 1280, 1024, true}), con(term), clk(Clock::Config{true, seed}),
      G(gr, con, clk, rnd) {
    term.attach(G);
    rnd.seed(seed);
}

} // namespace gs
