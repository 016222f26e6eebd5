// Skirmishes of the built binary at every difficulty, played to their end through
// pipes in fast headless mode. The test sits where the player types: it reads the
// game's questions as they come and answers each one, so that whatever the enemy
// does (fire, advance, raids) the dialogue stays in step until the game is over.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "state/texts.h"

namespace gs {
namespace {

struct Skirmish {
    int status = -1;
    std::string out;
    int shots = 0;
    bool stuck = false; ///< the game stopped answering, or the dialogue never ended
};

constexpr const char* MENU_Q = text::SELECT_MENU_POINT;
constexpr const char* DIFFICULTY_Q = text::SELECT_DIFFICULTY;
constexpr const char* AMMO_Q = text::AMMO_QUESTION;
constexpr const char* SHOT_Q = text::SHOT_QUESTION;
constexpr const char* REPLAY_Q = text::REPLAY_QUESTION;
/// A unit at the gun: the game waits for a key, which is kept for the replay question.
constexpr const char* OVERRUN = text::OVERRUN;
constexpr const auto& EMPTY = text::NO_AMMUNITION;

/// Plays one skirmish at `difficulty`: fugasy while it lasts, then armor-biting, then
/// nuclear, over a fan of speeds and angles; "N" when the level is lost; Quit after a win.
Skirmish playSkirmish(int difficulty, int seed) {
    Skirmish r;
    int toGame[2], fromGame[2];
    if (pipe(toGame) != 0 || pipe(fromGame) != 0) return r;
    const pid_t child = fork();
    if (child == 0) {
        dup2(toGame[0], 0);
        dup2(fromGame[1], 1);
        dup2(fromGame[1], 2);
        close(toGame[1]);
        close(fromGame[0]);
        if (chdir(GS_SOURCE_DIR) != 0) _exit(126);
        const std::string s = std::to_string(seed);
        execl(GS_BINARY, GS_BINARY, "--headless", "--fast", "--seed", s.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toGame[0]);
    close(fromGame[1]);
    signal(SIGPIPE, SIG_IGN);

    auto send = [&](const std::string& s) {
        return write(toGame[1], s.data(), s.size()) == ssize_t(s.size());
    };
    std::size_t pos = 0;
    bool menuSeen = false, keyForReplay = false;
    std::array<bool, 3> empty{};
    int answers = 0;
    const std::vector<std::pair<int, int>> fan = {{60, 45},  {80, 40}, {70, 30},  {90, 50},
                                                  {100, 35}, {50, 60}, {110, 45}, {75, 55},
                                                  {65, 25},  {120, 40}};
    for (;;) {
        // Answer every question that has appeared, in order.
        for (;;) {
            std::size_t best = std::string::npos, len = 0;
            const char* which = nullptr;
            for (const char* q : {MENU_Q, DIFFICULTY_Q, AMMO_Q, SHOT_Q, REPLAY_Q, OVERRUN, EMPTY[0],
                                  EMPTY[1], EMPTY[2]}) {
                const std::size_t p = r.out.find(q, pos);
                if (p < best) best = p, which = q, len = std::string(q).size();
            }
            if (!which) break;
            pos = best + len;
            if (++answers > 2000) {
                r.stuck = true;
                break;
            }
            const std::string w = which;
            if (w == MENU_Q) {
                // The game-type menu lists the Campaign; the main menu does not.
                const bool typeMenu = r.out.rfind("1.Campaign", best) != std::string::npos &&
                                      r.out.rfind("1.Campaign", best) > r.out.rfind("1.Play", best);
                if (typeMenu)
                    send("3\n");
                else if (!menuSeen)
                    menuSeen = true, send("1\n");
                else
                    send("3\n"); // back at the main menu after a win: quit
            } else if (w == DIFFICULTY_Q) {
                // The answer, then a key to open fire: Enter, which the first read skips.
                send(std::to_string(difficulty) + "\n\n");
            } else if (w == AMMO_Q) {
                int t = 0;
                while (t < 2 && empty[t]) ++t;
                send(std::to_string(t + 1) + "\n");
            } else if (w == SHOT_Q) {
                const auto& [v, a] = fan[static_cast<std::size_t>(r.shots++) % fan.size()];
                send(std::to_string(v) + " " + std::to_string(a) + "\n");
            } else if (w == OVERRUN) {
                send("N\n"); // the key, and with it the answer to the question that follows
                keyForReplay = true;
            } else if (w == REPLAY_Q) {
                if (!keyForReplay) send("N\n");
            } else {
                for (int i = 0; i < 3; ++i) empty[i] = empty[i] || w == EMPTY[i];
            }
        }
        if (r.stuck) break;
        pollfd p{fromGame[0], POLLIN, 0};
        if (poll(&p, 1, 30000) <= 0) { // half a minute without a word: the game hangs
            r.stuck = true;
            break;
        }
        char buf[4096];
        const ssize_t n = read(fromGame[0], buf, sizeof buf);
        if (n <= 0) break;
        r.out.append(buf, static_cast<std::size_t>(n));
    }
    close(toGame[1]);
    close(fromGame[0]);
    if (r.stuck) kill(child, SIGKILL);
    int raw = 0;
    waitpid(child, &raw, 0);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

class EnemySkirmish : public ::testing::TestWithParam<int> {};

TEST_P(EnemySkirmish, PlayedToItsEnd) {
    const int difficulty = GetParam();
    const Skirmish r = playSkirmish(difficulty, 40 + difficulty);
    ASSERT_FALSE(r.stuck) << r.out.substr(r.out.size() > 3000 ? r.out.size() - 3000 : 0);
    EXPECT_EQ(r.status, 0) << r.out.substr(r.out.size() > 3000 ? r.out.size() - 3000 : 0);
    EXPECT_GT(r.shots, 0);
    // The battle ended in one of its three ways: a victory, or a defeat asked about once.
    const int won = count(r.out, "VICTORY!!!"), lost = count(r.out, REPLAY_Q);
    EXPECT_EQ(won + lost, 1) << r.out.substr(r.out.size() > 3000 ? r.out.size() - 3000 : 0);
}

INSTANTIATE_TEST_SUITE_P(EveryDifficulty, EnemySkirmish, ::testing::Values(1, 2, 3, 4, 5));

} // namespace
} // namespace gs
