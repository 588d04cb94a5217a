#include "runtime/ManualScheduler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace corvane;

namespace {

double secondsOf(Instant instant) {
    return std::chrono::duration_cast<Seconds>(instant).count();
}

} // namespace

TEST(ManualScheduler, FiresByDueTimeThenBySchedulingOrderWithNowAtEachDueTime) {
    // Given timers scheduled out of order, two of them due at the same moment
    ManualScheduler scheduler;
    std::vector<std::pair<std::string, double>> fired;
    auto record = [&](std::string name) {
        return [&, name] { fired.emplace_back(name, secondsOf(scheduler.now())); };
    };
    TimerHandle late = scheduler.schedule(Seconds(3), record("late"));
    TimerHandle tieA = scheduler.schedule(Seconds(1), record("tieA"));
    TimerHandle early = scheduler.schedule(Seconds(0.5), record("early"));
    TimerHandle tieB = scheduler.schedule(Seconds(1), record("tieB"));

    // When time moves past all but the last one
    scheduler.advance(Seconds(2));

    // Then they fire by due time, ties in scheduling order, each seeing its own due time
    const std::vector<std::pair<std::string, double>> expected{{"early", 0.5}, {"tieA", 1.0}, {"tieB", 1.0}};
    EXPECT_EQ(fired, expected);
    EXPECT_DOUBLE_EQ(secondsOf(scheduler.now()), 2.0);
    EXPECT_FALSE(tieA.isValid());
    EXPECT_TRUE(late.isValid());
    ASSERT_TRUE(scheduler.nextDue().has_value());
    EXPECT_DOUBLE_EQ(scheduler.nextDue()->count(), 1.0);
    EXPECT_EQ(scheduler.wallNow(), QDateTime(QDate(2026, 1, 5), QTime(9, 0, 2)));
}

TEST(ManualScheduler, RepeatingTimerFiresOncePerIntervalAcrossOneLargeAdvance) {
    // Given a repeating timer every 0.25 s and a one-shot in the middle of its run
    ManualScheduler scheduler;
    std::vector<double> ticks;
    std::vector<std::string> order;
    TimerHandle repeating = scheduler.scheduleRepeating(Seconds(0.25), Seconds(0.05), [&] {
        ticks.push_back(secondsOf(scheduler.now()));
        order.push_back("tick");
    });
    TimerHandle once = scheduler.schedule(Seconds(0.6), [&] { order.push_back("once"); });

    // When time jumps a whole second at once
    scheduler.advance(Seconds(1));

    // Then it ticked four times, at its own due times, interleaved with the one-shot
    EXPECT_EQ(ticks, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
    EXPECT_EQ(order, (std::vector<std::string>{"tick", "tick", "once", "tick", "tick"}));
    EXPECT_TRUE(repeating.isValid());
    EXPECT_EQ(scheduler.pendingTimers(), 1);
}

TEST(ManualScheduler, InvalidatedOrDestroyedHandlesNeverFire) {
    // Given three timers: one invalidated, one whose handle goes out of scope, one replaced
    ManualScheduler scheduler;
    int fired = 0;
    TimerHandle invalidated = scheduler.schedule(Seconds(1), [&] { ++fired; });
    {
        TimerHandle dropped = scheduler.scheduleRepeating(Seconds(1), Seconds(0), [&] { ++fired; });
    }
    TimerHandle replaced = scheduler.schedule(Seconds(1), [&] { ++fired; });
    invalidated.invalidate();
    replaced = scheduler.schedule(Seconds(1), [&] { fired += 100; });

    // When all were due
    scheduler.advance(Seconds(5));

    // Then only the replacement fired
    EXPECT_EQ(fired, 100);
    EXPECT_FALSE(invalidated.isValid());
    EXPECT_EQ(scheduler.pendingTimers(), 0);
    EXPECT_TRUE(scheduler.repeatingTimers().empty());
}

TEST(ManualScheduler, HandlerMayStopItsOwnRepeatingTimerAndScheduleAnother) {
    // Given a repeating timer whose third tick stops itself and schedules a follow-up in 1 s
    ManualScheduler scheduler;
    int ticks = 0;
    std::vector<double> followUps;
    TimerHandle followUp;
    TimerHandle repeating;
    repeating = scheduler.scheduleRepeating(Seconds(1), Seconds(0), [&] {
        if (++ticks < 3)
            return;
        repeating.invalidate();
        followUp = scheduler.schedule(Seconds(1), [&] { followUps.push_back(secondsOf(scheduler.now())); });
    });

    // When time runs well past it
    scheduler.advance(Seconds(10));

    // Then the timer stopped after three ticks and the follow-up fired in the same advance
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(followUps, (std::vector<double>{4.0}));
    EXPECT_EQ(scheduler.pendingTimers(), 0);
}

TEST(ManualScheduler, UnsafeDelaysNeitherHangNorFireEarly) {
    // Given negative and non-finite delays, and absurdly long ones from an unchecked preference
    ManualScheduler scheduler;
    int immediate = 0;
    int distant = 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TimerHandle negative = scheduler.schedule(Seconds(-5), [&] { ++immediate; });
    TimerHandle notANumber = scheduler.schedule(Seconds(nan), [&] { ++immediate; });
    TimerHandle infinite = scheduler.schedule(Seconds(inf), [&] { ++immediate; });
    TimerHandle huge = scheduler.schedule(Seconds(1e20), [&] { ++distant; });
    TimerHandle hugeRepeat = scheduler.scheduleRepeating(Seconds(1e20), Seconds(0), [&] { ++distant; });

    // When the scheduler runs what is due without moving time, then a day later
    scheduler.runDue();
    const int immediateAfterRunDue = immediate;
    scheduler.advance(Seconds(86400));

    // Then the unsafe short delays fired at once and the long ones are still far away
    EXPECT_EQ(immediateAfterRunDue, 3);
    EXPECT_EQ(distant, 0);
    EXPECT_EQ(scheduler.pendingTimers(), 2);
    ASSERT_TRUE(scheduler.nextDue().has_value());
    EXPECT_GT(scheduler.nextDue()->count(), 1e9);
}

TEST(ManualScheduler, RepeatingTimersReportIntervalAndToleranceWithAFloorOnTheInterval) {
    // Given a normal repeating timer, one with a zero interval, and a stopped one
    ManualScheduler scheduler;
    TimerHandle normal = scheduler.scheduleRepeating(Seconds(2), Seconds(0.5), [] {});
    TimerHandle zero = scheduler.scheduleRepeating(Seconds(0), Seconds(-1), [] {});
    TimerHandle stopped = scheduler.scheduleRepeating(Seconds(7), Seconds(1), [] {});
    stopped.invalidate();

    // When the test asks how they were set up
    const auto timers = scheduler.repeatingTimers();

    // Then the live ones are listed as (interval, tolerance), the zero interval raised to the floor
    ASSERT_EQ(timers.size(), 2u);
    EXPECT_DOUBLE_EQ(timers[0].first.count(), 2.0);
    EXPECT_DOUBLE_EQ(timers[0].second.count(), 0.5);
    EXPECT_NEAR(timers[1].first.count(), Scheduler::minimumInterval, 1e-12);
    EXPECT_DOUBLE_EQ(timers[1].second.count(), 0.0);
}
