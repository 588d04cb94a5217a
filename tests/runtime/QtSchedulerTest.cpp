// The only runtime tests that wait on the real event loop: every wait is bounded.
#include "runtime/QtScheduler.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace corvane;

TEST(QtScheduler, OneShotFiresOnceAndDestroyedHandleNeverFires) {
    // Given a one-shot timer, and another whose handle is dropped at once
    QtScheduler scheduler;
    int fired = 0;
    int droppedFired = 0;
    TimerHandle once = scheduler.schedule(Seconds(0.01), [&] { ++fired; });
    {
        TimerHandle dropped = scheduler.schedule(Seconds(0), [&] { ++droppedFired; });
    }

    // When the event loop runs past its delay and then some more
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired > 0; }, 10000));
    QTest::qWait(50);

    // Then it fired exactly once, the handle reads spent, and the dropped one stayed silent
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(once.isValid());
    EXPECT_EQ(droppedFired, 0);
}

TEST(QtScheduler, RepeatingTimerFiresUntilInvalidatedFromItsOwnHandler) {
    // Given a repeating timer that stops itself on its third tick
    QtScheduler scheduler;
    int ticks = 0;
    TimerHandle repeating;
    repeating = scheduler.scheduleRepeating(Seconds(0.005), Seconds(0), [&] {
        if (++ticks == 3)
            repeating.invalidate();
    });
    const Instant start = scheduler.now();

    // When the loop runs until it stopped, and a while after
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 10000));
    QTest::qWait(50);

    // Then it ticked exactly three times on the monotonic clock
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(repeating.isValid());
    EXPECT_GE(scheduler.elapsedSince(start).count(), 0.01);
}
