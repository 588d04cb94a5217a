#include "runtime/Cancellation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace corvane;

TEST(Cancellation, CallbacksRunOnceAndRemovedOnesNever) {
    // Given a token with three callbacks, the middle one removed
    CancellationSource source;
    const CancellationToken token = source.token();
    std::vector<std::string> ran;
    token.onCancel([&] { ran.push_back("first"); });
    const int removed = token.onCancel([&] { ran.push_back("removed"); });
    token.onCancel([&] { ran.push_back("last"); });
    token.removeCallback(removed);

    // When it is cancelled twice
    source.cancel();
    source.cancel();

    // Then the remaining callbacks ran once each, in order
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "last"}));
    EXPECT_TRUE(token.isCancelled());

    // And a callback added afterwards runs at once
    token.onCancel([&] { ran.push_back("late"); });
    EXPECT_EQ(ran.back(), "late");
}

TEST(Cancellation, CallbackMayRemoveAnotherThatHasNotRunYet) {
    // Given a callback that tears down an object whose own callback comes later
    CancellationSource source;
    const CancellationToken token = source.token();
    auto watcher = std::make_shared<int>(0);
    int watcherCallback = 0;
    token.onCancel([&] {
        token.removeCallback(watcherCallback);
        watcher.reset();
    });
    watcherCallback = token.onCancel([&] { ++*watcher; }); // would touch a destroyed object

    // When the token is cancelled
    source.cancel();

    // Then the removed callback did not run
    EXPECT_EQ(watcher, nullptr);
}

TEST(TaskSlot, RenewCancelsTheOlderTokenAndNoRenewalIsLeftUncancelled) {
    // Given a slot whose first request starts again on the same slot when it is cancelled
    TaskSlot slot;
    const CancellationToken first = slot.renew();
    CancellationToken restarted;
    first.onCancel([&] { restarted = slot.renew(); });

    // When a newer request arrives
    const CancellationToken second = slot.renew();

    // Then the older token is cancelled, and the restart, being the newest request, wins
    EXPECT_TRUE(first.isCancelled());
    EXPECT_TRUE(second.isCancelled());
    EXPECT_FALSE(restarted.isCancelled());
    EXPECT_TRUE(slot.isActive());

    // When the slot is cancelled, then the request in flight is reached too
    slot.cancel();
    EXPECT_TRUE(restarted.isCancelled());
    EXPECT_FALSE(slot.isActive());

    // And a plain renewal cancels only its predecessor
    const CancellationToken third = slot.renew();
    const CancellationToken fourth = slot.renew();
    EXPECT_TRUE(third.isCancelled());
    EXPECT_FALSE(fourth.isCancelled());
}
