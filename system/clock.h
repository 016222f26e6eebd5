// Time for the game: Delay and the tick count that seeds the random generator.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace gs {

class Clock {
public:
    using Instant = std::chrono::steady_clock::time_point;

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

    /// How far behind its pauses the game may fall before their schedule starts afresh.
    static constexpr std::chrono::milliseconds CATCH_UP{100};

protected:
    /// One real pause. Each pause ends `ms` after the end its previous pause was due at,
    /// so the drawing between pauses does not add up over an animation; a game more than
    /// CATCH_UP behind (after a wait for the player, on a slow machine) starts afresh from
    /// now instead of rushing. Tests may count pauses instead.
    virtual void sleepMs(std::uint16_t ms);
    /// The time the pauses are scheduled by.
    virtual Instant now() const { return std::chrono::steady_clock::now(); }
    /// Sleeps until `deadline`; returns at once when it has passed. A platform that must
    /// hand control back to its host while it sleeps (a browser) overrides this.
    virtual void sleepUntil(Instant deadline);

private:
    Config cfg_{};
    std::uint64_t virtual_ = 0;
    std::uint64_t delayed_ = 0;
    std::optional<Instant> due_; ///< when the last pause was due to end
};

} // namespace gs
