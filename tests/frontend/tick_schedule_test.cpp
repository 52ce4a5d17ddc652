// The tick schedule against a clock the test moves by hand.
#include <gtest/gtest.h>

#include <vector>

#include "frontend/tick_schedule.h"

namespace plonta {
namespace {

struct FakeClock {
    std::uint64_t now = 10'000;
};

class TickScheduleTest : public testing::Test {
  protected:
    FakeClock clock;
    TickSchedule schedule{[this] { return clock.now; }, 250};

    // Moves the clock to t, returning how many ticks the loop would run on waking there.
    int wakeAt(std::uint64_t t) {
        clock.now = t;
        int taken = 0;
        while (schedule.takeDue()) ++taken;
        return taken;
    }
};

TEST_F(TickScheduleTest, StoppedScheduleNeverTicks) {
    EXPECT_FALSE(schedule.running());
    EXPECT_EQ(schedule.msUntilDue(), -1);
    EXPECT_EQ(wakeAt(20'000), 0);
}

TEST_F(TickScheduleTest, FirstTickOnePeriodAfterStart) {
    schedule.start();
    EXPECT_EQ(schedule.msUntilDue(), 250);
    EXPECT_EQ(wakeAt(10'249), 0);
    EXPECT_EQ(schedule.msUntilDue(), 1);
    EXPECT_EQ(wakeAt(10'250), 1);
    EXPECT_EQ(schedule.msUntilDue(), 250);
}

TEST_F(TickScheduleTest, LateWakeUpsDoNotDrift) {
    schedule.start();
    // Every wake-up is late by a varying amount; the deadlines stay on the 250 ms grid.
    const std::vector<std::uint64_t> lateness{3, 17, 0, 120, 1, 249, 40};
    std::uint64_t deadline = 10'250;
    for (std::uint64_t late : lateness) {
        EXPECT_EQ(wakeAt(deadline + late), 1);
        deadline += 250;
        EXPECT_EQ(schedule.deadline(), deadline);
        EXPECT_EQ(schedule.msUntilDue(), static_cast<std::int32_t>(deadline - clock.now));
    }
}

TEST_F(TickScheduleTest, ElapsedTimeGivesOneTickPerPeriod) {
    schedule.start();
    int total = 0;
    // Waking at odd moments over 100 periods yields exactly 100 ticks.
    for (std::uint64_t t = 10'000; t <= 10'000 + 100 * 250; t += 37) total += wakeAt(t);
    total += wakeAt(10'000 + 100 * 250);
    EXPECT_EQ(total, 100);
}

TEST_F(TickScheduleTest, StallGivesOneTickAndAFreshSchedule) {
    schedule.start();
    EXPECT_EQ(wakeAt(10'250), 1);
    // The loop was held up for more than two seconds.
    EXPECT_EQ(wakeAt(12'900), 1);
    EXPECT_EQ(schedule.deadline(), 13'150u);
    EXPECT_EQ(wakeAt(13'149), 0);
    EXPECT_EQ(wakeAt(13'150), 1);
}

TEST_F(TickScheduleTest, ExactlyOneMissedDeadlineCountsAsAStall) {
    schedule.start();
    EXPECT_EQ(wakeAt(10'500), 1);
    EXPECT_EQ(schedule.deadline(), 10'750u);
}

TEST_F(TickScheduleTest, RestartAfterStopBeginsAFullPeriodLater) {
    schedule.start();
    EXPECT_EQ(wakeAt(10'250), 1);
    schedule.stop();
    EXPECT_EQ(wakeAt(11'000), 0);
    schedule.start();
    EXPECT_EQ(schedule.msUntilDue(), 250);
    EXPECT_EQ(wakeAt(11'249), 0);
    EXPECT_EQ(wakeAt(11'250), 1);
}

TEST_F(TickScheduleTest, SleepNeverExceedsOnePeriod) {
    schedule.start();
    for (std::uint64_t t = 10'000; t < 12'000; t += 13) {
        wakeAt(t);
        EXPECT_GE(schedule.msUntilDue(), 0);
        EXPECT_LE(schedule.msUntilDue(), 250);
    }
}

} // namespace
} // namespace plonta
