// Real pauses keep to a schedule: each ends its own length after the end the previous one
// was due at, so the drawing between pauses does not add up; a game too far behind starts
// the schedule afresh. Time here is the test's own, nothing sleeps.
#include <gtest/gtest.h>

#include <vector>

#include "system/clock.h"

namespace gs {
namespace {

using std::chrono::milliseconds;

/// A clock on the test's time: sleeping moves the time on to the deadline.
class TestTimeClock : public Clock {
public:
    explicit TestTimeClock(bool fast = false) : Clock(Config{fast, 7u}) {}
    /// The game works (draws) for `ms` between two pauses.
    void work(int ms) { time_ += milliseconds(ms); }
    /// Each deadline slept to, in ms from the start.
    std::vector<long> deadlines;
    long at() const { return static_cast<long>((time_ - START).count() / 1000000); }

protected:
    Instant now() const override { return time_; }
    void sleepUntil(Instant deadline) override {
        deadlines.push_back(static_cast<long>((deadline - START).count() / 1000000));
        if (deadline > time_) time_ = deadline;
    }

private:
    static constexpr Instant START{std::chrono::hours(1)};
    Instant time_ = START;
};

TEST(PausedByDeadline, TheDrawingBetweenPausesDoesNotAddUp) {
    TestTimeClock c;
    c.Delay(50);
    c.work(3);
    c.Delay(50);
    c.work(2);
    c.Delay(5);
    EXPECT_EQ(c.deadlines, (std::vector<long>{50, 100, 105}));
    EXPECT_EQ(c.at(), 105);
    EXPECT_EQ(c.delayedMs(), 105u);
    EXPECT_EQ(c.virtualMs(), 7u + 105u);
}

TEST(PausedByDeadline, UpTo100MsBehindTheGameCatchesUpWithoutSleeping) {
    TestTimeClock c;
    c.Delay(50);
    c.work(100); // exactly 100 ms behind: still on the schedule
    c.Delay(20);
    EXPECT_EQ(c.deadlines.back(), 70);
    EXPECT_EQ(c.at(), 150);
    c.Delay(40); // still 80 ms behind: due at 110, no sleep
    c.Delay(60); // due at 170
    EXPECT_EQ(c.deadlines, (std::vector<long>{50, 70, 110, 170}));
    EXPECT_EQ(c.at(), 170);
}

TEST(PausedByDeadline, MoreThan100MsBehindTheScheduleStartsAfresh) {
    TestTimeClock c;
    c.Delay(50);
    c.work(101); // a wait for the player, or a slow machine
    c.Delay(20);
    EXPECT_EQ(c.deadlines, (std::vector<long>{50, 171}));
    c.work(5000); // the player thinks
    c.Delay(10);
    EXPECT_EQ(c.deadlines.back(), 5181);
}

TEST(PausedByDeadline, FastPausesOnlyCount) {
    TestTimeClock c(true);
    c.Delay(50);
    c.work(200);
    c.Delay(1500);
    EXPECT_TRUE(c.deadlines.empty());
    EXPECT_EQ(c.delayedMs(), 1550u);
    EXPECT_EQ(c.seedTicks(), 7u + 1550u);
}

} // namespace
} // namespace gs
