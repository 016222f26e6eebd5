// The built game with its sound on, off and written to a file: the same game every time,
// and a file that holds the game's sound.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "state/texts.h"
#include "tests/support/run_game.h"

namespace gs {
namespace {

using namespace gs::test;

/// Custom level 1 won in five shots, then Quit.
const std::string WIN_LEVEL_1 = "1\n2\n1\n\n1\n22 32\n1\n27 38\n1\n31 42\n1\n35 40\n1\n40 38\n3\n";

GameRun play(std::vector<std::string> extra) {
    std::vector<std::string> args{"--headless", "--fast", "--seed", "7"};
    args.insert(args.end(), extra.begin(), extra.end());
    return runGame(args, WIN_LEVEL_1);
}

TEST(SoundE2E, OnOffOrWrittenTheGameIsTheSame) {
    const fs::path dir = scratch("sound");
    const GameRun plain = play({});
    ASSERT_EQ(plain.status, 0) << plain.err;
    ASSERT_EQ(count(plain.out, text::VICTORY), 1);
    for (const auto& extra : std::vector<std::vector<std::string>>{
             {"--sound", "off"},
             {"--sound", "on"},
             {"--sound=clicks", "--sound-wav", (dir / "game.wav").string()}}) {
        const GameRun r = play(extra);
        EXPECT_EQ(r.status, plain.status) << extra[0];
        EXPECT_EQ(r.out, plain.out) << extra[0];
        EXPECT_EQ(r.err, plain.err) << extra[0]; // nothing of the sound reaches standard error
    }

    const std::string wav = slurp(dir / "game.wav");
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(wav[at + k]);
        return v;
    };
    EXPECT_EQ(u32(40), wav.size() - 44);
    const std::size_t samples = (wav.size() - 44) / 2;
    // Five shots, their flights, blasts and the victory: several seconds of the game's time.
    EXPECT_GT(samples, 48000u * 5);
    std::size_t loud = 0, silent = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        const auto v = static_cast<std::int16_t>(static_cast<unsigned char>(wav[44 + 2 * i]) |
                                                 static_cast<unsigned char>(wav[45 + 2 * i]) << 8);
        ASSERT_LT(std::abs(int{v}), 32767) << "sample " << i;
        loud += std::abs(int{v}) > 3000;
        silent += v == 0;
    }
    EXPECT_GT(loud, 48000u / 2);
    EXPECT_GT(silent, 48000u / 10); // the pauses where nothing sounds
    fs::remove_all(dir);
}

TEST(SoundE2E, ASoundFileThatCannotBeWrittenIsRefused) {
    const GameRun r = play({"--sound-wav", "/nonexistent-dir/x.wav"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("/nonexistent-dir/x.wav cannot be written"), std::string::npos) << r.err;
}

} // namespace
} // namespace gs
