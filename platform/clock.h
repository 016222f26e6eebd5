// Time for the game: Delay and the tick count that seeds the random generator.
#pragma once

#include <cstdint>
#include <optional>

namespace gs {

class Clock {
public:
    struct Config {
        bool fast = false;                 ///< Delay does not sleep
        std::optional<std::uint32_t> seed; ///< seeding reads the virtual count, which starts here
    };

    Clock() = default;
    explicit Clock(Config c);
    virtual ~Clock() = default;

    /// Pauses the game for `ms` milliseconds (really, unless fast); the virtual count advances.
    void Delay(std::uint16_t ms);
    /// The millisecond count that seeds the random generator: the virtual count when a
    /// seed was given, otherwise the real clock's milliseconds.
    std::uint32_t seedTicks() const;
    /// Milliseconds passed through Delay since start (plus the seed, if any).
    std::uint64_t virtualMs() const { return virtual_; }
    /// Sum of every Delay requested so far, in milliseconds.
    std::uint64_t delayedMs() const { return delayed_; }
    const Config& config() const { return cfg_; }

protected:
    /// Really sleeps; tests and benchmarks may count instead.
    virtual void sleepMs(std::uint16_t ms);

private:
    Config cfg_{};
    std::uint64_t virtual_ = 0;
    std::uint64_t delayed_ = 0;
};

} // namespace gs
