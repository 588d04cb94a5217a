#include "platform/x11/X11RecentFacts.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

X11WindowFacts factsOf(xcb_window_t window, bool alive = true) {
    X11WindowFacts f;
    f.window = window;
    f.alive = alive;
    f.client = QRect(10, 20, 300, 200);
    return f;
}

} // namespace

TEST(X11RecentFacts, OffersOnlyFreshFactsOfLiveWindowsFromTheLatestRead) {
    X11RecentFacts recent;
    const auto t0 = X11RecentFacts::Clock::now();
    recent.offer(recent.generation(), t0, {factsOf(1), factsOf(2, false)});

    ASSERT_TRUE(recent.take(1, t0 + 10ms, 50ms));
    EXPECT_EQ(recent.take(1, t0 + 10ms, 50ms)->facts.client, QRect(10, 20, 300, 200));
    EXPECT_FALSE(recent.take(2, t0 + 10ms, 50ms)) << "a window that is gone is not offered";
    EXPECT_FALSE(recent.take(1, t0 + 60ms, 50ms)) << "older than the bound";

    // A newer read replaces the older one whole.
    recent.offer(recent.generation(), t0 + 20ms, {factsOf(3)});
    EXPECT_FALSE(recent.take(1, t0 + 25ms, 50ms));
    EXPECT_TRUE(recent.take(3, t0 + 25ms, 50ms));
}

TEST(X11RecentFacts, AReadInFlightDuringAWriteIsNeverOffered) {
    X11RecentFacts recent;
    const auto t0 = X11RecentFacts::Clock::now();
    recent.offer(recent.generation(), t0, {factsOf(1)});

    // The list starts reading, a write lands, then the list's (pre-write) answers arrive.
    const uint64_t before = recent.generation();
    recent.forgetAll();
    EXPECT_FALSE(recent.take(1, t0 + 1ms, 50ms)) << "a write forgets what was read";
    recent.offer(before, t0 + 1ms, {factsOf(1)});
    EXPECT_FALSE(recent.take(1, t0 + 2ms, 50ms));

    // A read that starts after the write is offered again.
    recent.offer(recent.generation(), t0 + 3ms, {factsOf(1)});
    EXPECT_TRUE(recent.take(1, t0 + 4ms, 50ms));
}
