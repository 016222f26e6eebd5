// The benchmarks' keyboard and dice: keys from a script with the game's output dropped,
// and the shared generator with the raids' chance rolls made to come up.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "state/game.h"

namespace gs::bench {

/// Types its script (LF or CR is Enter), once or over and over, then Enter for ever; the
/// game's output is dropped.
class QuietKeys : public Terminal {
public:
    explicit QuietKeys(std::string script = {}, bool repeat = false)
        : script_(std::move(script)), repeat_(repeat) {}
    std::optional<int> pollKey() override {
        if (pos_ >= script_.size()) return std::nullopt;
        return waitKey();
    }
    int waitKey() override {
        if (pos_ >= script_.size()) return KEY_ENTER;
        const char c = script_[pos_++];
        if (repeat_ && pos_ == script_.size()) pos_ = 0;
        return c == '\n' || c == '\r' ? KEY_ENTER : static_cast<unsigned char>(c);
    }
    void write(std::string_view) override {}
    void clear() override {}
    void moveCursor(int, int) override {}
    bool isScreen() const override { return false; }

private:
    std::string script_;
    bool repeat_;
    std::size_t pos_ = 0;
};

/// The shared generator, except that the raids' chance rolls (of 6 and of 40) come up:
/// every one while `raids` is set, or the next roll of any kind once `next` is given.
class RaidDice : public Rng {
public:
    bool raids = false;
    std::optional<int> next;
    int Random(int n) override {
        if (next) {
            const int v = *next < n ? *next : n - 1;
            next.reset();
            return v;
        }
        return raids && (n == 6 || n == 40) ? n - 1 : Rng::Random(n);
    }
};

} // namespace gs::bench
