// Soak: hundreds of whole seeded games, in process, on the headless picture and the fast
// clock, with a player who types at random: random ammunition (now and then a type that
// does not exist), speeds from -200 to 400, angles from -360 to 360, and now and then an
// answer that is not a number, at any question, which the game must refuse, saying so,
// and ask again. Some players aim part of their shots with the automatic player's sight,
// so that victories, the campaign's next levels and the main menu after a won level are
// played too.
//
// Every game must end in victory or defeat within a bounded number of answers, whatever
// was typed; the game is driven through its own main loop, exactly as the program runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "autoplayer/autoplayer.h"
#include "game/battle.h"
#include "game/modes.h"
#include "state/texts.h"
#include "system/runtime_error.h"

namespace gs {
namespace {

/// A game is cut off as a hang after this many answers and key presses.
constexpr int MAX_ANSWERS = 4000;
/// ... or after this much virtual time (a whole campaign takes far less).
constexpr std::uint64_t MAX_VIRTUAL_MS = 6ull * 3600 * 1000;

struct TooLong : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Mode { Campaign = 1, Custom = 2, Skirmish = 3 };

struct Plan {
    Mode mode = Mode::Skirmish;
    int level = 1;      ///< Custom level number
    int difficulty = 1; ///< Skirmish difficulty
    double aim = 0;     ///< share of shots aimed with the automatic player's sight
    double garbage = 0; ///< chance that a numeric answer is not a number
};

/// What one game did, for the verdict and the totals.
struct Record {
    int garbage = 0;  ///< answers typed that are not numbers
    int refusals = 0; ///< times the game said an answer was not a number
    bool won = false, lost = false;
    int shots = 0, answers = 0, replays = 0, victories = 0;
    int errorCode = 0;
    std::string tail; ///< the end of the dialogue, for a failure message
};

bool contains(const std::string& s, const char* what) { return s.find(what) != std::string::npos; }

/// The random player. It reads what the game wrote since its last answer and types the
/// next answer key by key; a wait for a key (battle start, About, overrun) gets Enter.
class SoakPlayer : public Terminal {
public:
    SoakPlayer(const Plan& p, std::uint32_t seed, Record& r) : plan_(p), rng_(seed), rec_(r) {}
    void attach(Game& G) { game_ = &G; }

    std::optional<int> pollKey() override {
        if (keys_.empty()) return std::nullopt;
        return take();
    }
    int waitKey() override {
        if (keys_.empty()) answer();
        return take();
    }
    void write(std::string_view bytes) override {
        if (bytes.find(text::VICTORY) != std::string_view::npos) ++rec_.victories;
        if (bytes.find(text::NOT_A_NUMBER) != std::string_view::npos) ++rec_.refusals;
        recent_.append(bytes);
        remember(bytes);
    }
    void clear() override { recent_ += "\n"; }
    void moveCursor(int, int) override {}
    bool isScreen() const override { return false; }

private:
    int take() {
        const char c = keys_.front();
        keys_.erase(keys_.begin());
        // The next answer replies to what the game writes once all typed keys are taken
        // (a refused answer that was typed ahead is followed by its question again).
        if (keys_.empty()) recent_.clear();
        return c == '\n' ? KEY_ENTER : static_cast<unsigned char>(c);
    }
    void remember(std::string_view bytes) {
        rec_.tail.append(bytes);
        if (rec_.tail.size() > 8000) rec_.tail.erase(0, rec_.tail.size() - 4000);
    }
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    /// A line that is not a number: letters, digits with a letter, a lone sign, a fraction,
    /// an upper-case hexadecimal prefix, a bad number before a good one.
    std::string garbage() {
        static const char* const words[] = {"abc", "1x", "-",   "12.5", "fire",
                                            "0x",  "$G", "1e3", "0X1F", "x 3"};
        ++rec_.garbage;
        return words[uniform(0, 9)];
    }

    std::string numberOr(const std::string& n) { return chance(plan_.garbage) ? garbage() : n; }

    void type(const std::string& line) {
        remember("«" + line + "»\n");
        keys_ += line;
        keys_ += '\n';
    }

    void answer() {
        if (++rec_.answers > MAX_ANSWERS)
            throw TooLong("more than " + std::to_string(MAX_ANSWERS) + " answers");
        if (game_->clk.virtualMs() > MAX_VIRTUAL_MS)
            throw TooLong("more than six hours of game time");
        const std::string said = recent_;
        recent_.clear();
        if (contains(said, text::SELECT_GAME_TYPE)) {
            type(numberOr(std::to_string(static_cast<int>(plan_.mode))));
        } else if (contains(said, text::SELECT_MENU_POINT)) {
            if (chance(plan_.garbage)) {
                type(garbage()); // the menu comes back
            } else if (!started_ && chance(0.05) && !aboutSeen_) {
                aboutSeen_ = true;
                type("2");
            } else {
                type(started_ ? "3" : "1"); // after a won level: Quit
                started_ = true;
            }
        } else if (contains(said, text::ENTER_LEVEL_NUMBER)) {
            type(numberOr(std::to_string(plan_.level)));
        } else if (contains(said, text::SELECT_DIFFICULTY)) {
            static const int refused[] = {-1, 0, 6, 9, 300};
            if (chance(0.1)) type(std::to_string(refused[uniform(0, 4)])); // asked again
            type(numberOr(std::to_string(plan_.difficulty)));
        } else if (contains(said, text::AMMO_QUESTION)) {
            int ammo = chance(0.05) ? uniform(-1, 4) : uniform(1, 3);
            type(numberOr(std::to_string(ammo)));
        } else if (contains(said, text::SHOT_QUESTION)) {
            ++rec_.shots;
            int v = uniform(-200, 400), a = uniform(-360, 360);
            if (chance(plan_.aim)) {
                const Shot s = planShot(*game_);
                v = s.speed;
                a = s.angle;
            }
            if (chance(0.2)) { // the two numbers on two lines
                const std::string speed = numberOr(std::to_string(v));
                type(speed);
                // After a refused speed the question comes again: the angle waits for it.
                if (speed == std::to_string(v)) type(std::to_string(a));
            } else if (chance(plan_.garbage)) { // a good speed, then no angle
                type(std::to_string(v) + " " + garbage());
            } else {
                type(numberOr(std::to_string(v) + " " + std::to_string(a)));
            }
        } else if (contains(said, "Do you want to play level again")) {
            rec_.lost = true;
            if (chance(0.1)) {
                type(chance(0.5) ? "maybe" : ""); // asked again
            } else if (rec_.replays < 1 && chance(0.15)) {
                ++rec_.replays;
                rec_.lost = false;
                type("yes");
            } else {
                type("n");
            }
        } else {
            // A key wait: the battle's first picture, About, a unit at the gun, the end of
            // the campaign. Enter starts an empty line that the next read ignores.
            if (contains(said, text::VICTORY)) rec_.won = true;
            keys_ += '\n';
            return;
        }
        if (contains(said, text::VICTORY)) rec_.won = true;
    }

    Plan plan_;
    std::mt19937 rng_;
    Record& rec_;
    Game* game_ = nullptr;
    std::string keys_, recent_;
    bool started_ = false, aboutSeen_ = false;
};

struct Totals {
    int games = 0, won = 0, lost = 0, refused = 0, shots = 0, victories = 0;
};

/// Plays one game from program start to its end and checks how it ended.
void playOne(const Plan& plan, std::uint32_t seed, Totals& t) {
    Record rec;
    SoakPlayer player(plan, seed * 2654435761u + 17u, rec);
    Graph gr(Graph::Config{true, 1280, 1024, true});
    Console con(player);
    Clock clk(Clock::Config{true, seed});
    Rng rnd;
    Game G(gr, con, clk, rnd);
    player.attach(G);
    con.onPlayerWait = [&gr] { gr.snapshotDue(); };

    std::ostringstream what;
    what << "mode " << static_cast<int>(plan.mode) << " level " << plan.level << " difficulty "
         << plan.difficulty << " seed " << seed;
    try {
        runGame(G, battle);
    } catch (const RuntimeError& e) {
        rec.errorCode = e.code;
    } catch (const TooLong& e) {
        ADD_FAILURE() << what.str() << ": " << e.what() << "\n..." << rec.tail;
        return;
    }
    ++t.games;
    t.shots += rec.shots;
    t.victories += rec.victories;
    // Every answer that is not a number was refused, saying so, and nothing else was.
    EXPECT_EQ(rec.refusals, rec.garbage) << what.str() << "\n..." << rec.tail;
    if (rec.garbage > 0) ++t.refused;
    ASSERT_EQ(rec.errorCode, 0) << what.str() << "\n..." << rec.tail;
    EXPECT_TRUE(rec.won || rec.lost)
        << what.str() << ": ended with neither victory nor defeat\n..." << rec.tail;
    // Quit is only typed after a victory, N only after a defeat.
    EXPECT_TRUE(G.LOGIC);
    EXPECT_FALSE(gr.isOpen()) << what.str() << ": the window stayed open";
    if (rec.won && !rec.lost) ++t.won;
    if (rec.lost) ++t.lost;
}

void report(const char* name, const Totals& t) {
    std::printf("%s: %d games, %d won, %d lost, %d with answers refused as not numbers, "
                "%d shots, %d levels won\n",
                name, t.games, t.won, t.lost, t.refused, t.shots, t.victories);
}

Plan skirmish(int difficulty, int i) {
    Plan p;
    p.mode = Mode::Skirmish;
    p.difficulty = difficulty;
    p.aim = (i % 3) * 0.45; // 0, 0.45, 0.9
    p.garbage = i % 4 == 3 ? 0.05 : 0.0;
    return p;
}

// Five difficulties of 60 skirmishes, thirteen levels of 15 custom games and 20 campaigns:
// 515 games in all, in cases small enough for ctest to spread over the cores.
class SoakSkirmish : public ::testing::TestWithParam<int> {};

TEST_P(SoakSkirmish, SixtyGamesEndProperly) {
    const int difficulty = GetParam();
    Totals t;
    for (int i = 0; i < 60; ++i) playOne(skirmish(difficulty, i), 1000u * difficulty + i, t);
    report(("skirmish difficulty " + std::to_string(difficulty)).c_str(), t);
    EXPECT_EQ(t.games, 60);
    EXPECT_GT(t.lost, 0);
    EXPECT_GT(t.refused, 0);
}

INSTANTIATE_TEST_SUITE_P(Difficulty, SoakSkirmish, ::testing::Range(1, 6));

class SoakCustomLevel : public ::testing::TestWithParam<int> {};

TEST_P(SoakCustomLevel, FifteenGamesEndProperly) {
    const int level = GetParam();
    Totals t;
    for (int i = 0; i < 15; ++i) {
        Plan p;
        p.mode = Mode::Custom;
        p.level = level;
        p.aim = (i % 3) * 0.45;
        p.garbage = i % 5 == 4 ? 0.05 : 0.0;
        playOne(p, 50000u + 100u * level + i, t);
    }
    report(("custom level " + std::to_string(level)).c_str(), t);
    EXPECT_EQ(t.games, 15);
    // Levels 10 to 12 are too hard for a player who picks the ammunition at random.
    if (level < 10) {
        EXPECT_GT(t.won, 0) << "the aiming players should win some games";
    }
}

INSTANTIATE_TEST_SUITE_P(Level, SoakCustomLevel, ::testing::Range(0, 13));

class SoakCampaign : public ::testing::TestWithParam<int> {};

TEST_P(SoakCampaign, FiveCampaignsFromLevelOne) {
    const int group = GetParam();
    Totals t;
    for (int i = 5 * group; i < 5 * group + 5; ++i) {
        Plan p;
        p.mode = Mode::Campaign;
        p.aim = i < 10 ? 1.0 : 0.7;
        p.garbage = i % 10 == 9 ? 0.02 : 0.0;
        playOne(p, 90000u + i, t);
    }
    report(
        ("campaigns " + std::to_string(5 * group) + " to " + std::to_string(5 * group + 4)).c_str(),
        t);
    EXPECT_EQ(t.games, 5);
    EXPECT_GT(t.victories, 0) << "the aiming players should win levels";
}

INSTANTIATE_TEST_SUITE_P(Group, SoakCampaign, ::testing::Range(0, 4));

} // namespace
} // namespace gs
