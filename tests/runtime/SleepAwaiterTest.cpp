#include "runtime/ManualScheduler.h"

#include <QCoro/QCoroTask>

#include <gtest/gtest.h>

#include <optional>

using namespace corvane;

namespace {

// A task that sleeps once and records how the sleep ended; the test drops the task, which keeps
// running to completion.
QCoro::Task<> sleepAndRecord(Scheduler& scheduler, Seconds delay, CancellationToken token,
                             std::optional<SleepResult>& result) {
    result = co_await scheduler.sleep(delay, std::move(token));
}

// One request of a "newer request wins" feature.
QCoro::Task<> request(Scheduler& scheduler, TaskSlot& slot, std::optional<SleepResult>& result) {
    CancellationToken token = slot.renew();
    result = co_await scheduler.sleep(Seconds(1), token);
}

} // namespace

TEST(SleepAwaiter, FinishesWhenTimeReachesTheDelay) {
    // Given a task sleeping two seconds
    ManualScheduler scheduler;
    CancellationSource source;
    std::optional<SleepResult> result;
    sleepAndRecord(scheduler, Seconds(2), source.token(), result);

    // When time moves short of it, then past it
    scheduler.advance(Seconds(1.5));
    const bool finishedEarly = result.has_value();
    scheduler.advance(Seconds(1));

    // Then it finished once the delay had passed, and left nothing behind
    EXPECT_FALSE(finishedEarly);
    EXPECT_EQ(result, SleepResult::finished);
    EXPECT_EQ(scheduler.pendingTimers(), 0);
}

TEST(SleepAwaiter, CancelledSleepResumesOnTheNextTurnNotInsideCancel) {
    // Given a task sleeping ten seconds
    ManualScheduler scheduler;
    CancellationSource source;
    std::optional<SleepResult> result;
    sleepAndRecord(scheduler, Seconds(10), source.token(), result);

    // When its token is cancelled
    source.cancel();

    // Then it has not resumed yet, and does so on the next turn with no time passing
    EXPECT_FALSE(result.has_value());
    scheduler.runDue();
    EXPECT_EQ(result, SleepResult::cancelled);
    EXPECT_EQ(scheduler.now(), Instant(0));

    // And its ten-second timer is gone
    EXPECT_EQ(scheduler.pendingTimers(), 0);
    scheduler.advance(Seconds(20));
    EXPECT_EQ(result, SleepResult::cancelled);
}

TEST(SleepAwaiter, AlreadyCancelledTokenAnswersAtOnceWithoutATimer) {
    // Given a token that is already cancelled
    ManualScheduler scheduler;
    CancellationSource source;
    source.cancel();
    std::optional<SleepResult> result;

    // When a task sleeps with it
    sleepAndRecord(scheduler, Seconds(5), source.token(), result);

    // Then the sleep answered cancelled without suspending or scheduling anything
    EXPECT_EQ(result, SleepResult::cancelled);
    EXPECT_EQ(scheduler.pendingTimers(), 0);
}

TEST(SleepAwaiter, NewerRequestCancelsTheOlder) {
    // Given a request sleeping on a task slot
    ManualScheduler scheduler;
    TaskSlot slot;
    std::optional<SleepResult> older;
    std::optional<SleepResult> newer;
    request(scheduler, slot, older);

    // When a second request starts half-way through and time runs on
    scheduler.advance(Seconds(0.5));
    request(scheduler, slot, newer);
    scheduler.runDue();
    const std::optional<SleepResult> olderAtOnce = older;
    const std::optional<SleepResult> newerAtOnce = newer;
    scheduler.advance(Seconds(1));

    // Then the first reports cancelled straight away and the second finishes its full second
    EXPECT_EQ(olderAtOnce, SleepResult::cancelled);
    EXPECT_FALSE(newerAtOnce.has_value());
    EXPECT_EQ(newer, SleepResult::finished);
}
