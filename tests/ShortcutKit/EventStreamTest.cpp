#include "RegistryFixture.h"

#include "ShortcutKit/EventStream.h"
#include "ShortcutKit/RepeatingEventStream.h"

#include <QCoro/QCoroTask>

namespace corvane::testing {
namespace {

class EventStreamTest : public RegistryFixture {
protected:
    const Shortcut a = shortcut(Key::upArrow, controlOption);
    const Shortcut b = shortcut(Key::downArrow, controlOption);
    const Name name{QStringLiteral("snapTop"), a};

    EventStreamTest() {
        registry.seed(name);
        keyboard.setKeyRepeat({Seconds(0.5), Seconds(0.1)});
    }
    std::vector<EventType> drain(EventStream& stream) {
        std::vector<EventType> taken;
        while (auto event = stream.tryTake())
            taken.push_back(*event);
        return taken;
    }
    int ticks(RepeatingEventStream& stream) {
        int count = 0;
        while (stream.tryTake())
            ++count;
        return count;
    }
};

TEST_F(EventStreamTest, ANameStreamKeepsItsHotKeyWhileItLivesAndBuffersEveryEvent) {
    auto stream = registry.events(name);
    ASSERT_TRUE(isTaken(a));
    press(a);
    press(a);
    EXPECT_EQ(drain(*stream), (std::vector<EventType>{EventType::keyDown, EventType::keyUp,
                                                      EventType::keyDown, EventType::keyUp}));

    // A stream of one type carries only that type
    auto downs = registry.events(EventType::keyDown, name);
    press(a);
    EXPECT_EQ(drain(*downs), std::vector<EventType>{EventType::keyDown});

    // Nothing arrives while paused, or for a name whose shortcut is no longer the pressed one
    registry.setPaused(true);
    registry.handleEvent(EventType::keyDown, a);
    registry.setPaused(false);
    registry.setShortcut(b, name);
    registry.handleEvent(EventType::keyDown, a);
    drain(*stream);
    EXPECT_EQ(downs->pending(), 0u);

    // Dropping the last streams gives the combination back
    stream.reset();
    downs.reset();
    EXPECT_FALSE(isTaken(b));
}

TEST_F(EventStreamTest, ABareShortcutStreamNeedsNoNameAndIgnoresADisabledOne) {
    registry.onKeyDown(name, [] {});
    registry.disable({name});
    ASSERT_FALSE(isTaken(a));
    auto stream = registry.events(a);
    EXPECT_TRUE(isTaken(a));
    press(a);
    EXPECT_EQ(drain(*stream).size(), 2u);
    stream.reset();
    EXPECT_FALSE(isTaken(a));
}

TEST_F(EventStreamTest, AWaitingConsumerIsResumedInOrderAndEndsWithTheStream) {
    auto stream = registry.events(name);
    std::vector<EventType> seen;
    bool ended = false;
    auto consume = [&]() -> QCoro::Task<void> {
        while (const auto event = co_await stream->next())
            seen.push_back(*event);
        ended = true;
    };
    consume();
    press(a);
    EXPECT_EQ(seen, (std::vector<EventType>{EventType::keyDown, EventType::keyUp}));
    stream.reset();
    EXPECT_TRUE(ended);
}

TEST_F(EventStreamTest, AHeldShortcutTicksAtOnceAfterTheDelayAndThenAtTheInterval) {
    auto stream = registry.repeatingKeyDownEvents(name);
    // Press and release before the delay: one tick
    press(a);
    scheduler.advance(Seconds(2));
    EXPECT_EQ(ticks(*stream), 1);

    // Held: one at once, one after the delay, then one per interval
    hotKeys.press(a.carbonKeyCode, a.carbonModifiers);
    EXPECT_EQ(ticks(*stream), 1);
    scheduler.advance(Seconds(0.49));
    EXPECT_EQ(ticks(*stream), 0);
    scheduler.advance(Seconds(0.01));
    EXPECT_EQ(ticks(*stream), 1);
    scheduler.advance(Seconds(0.3));
    // Only the newest tick waits for a slow consumer
    EXPECT_EQ(stream->pending(), 1u);
    ticks(*stream);
    hotKeys.release(a.carbonKeyCode, a.carbonModifiers);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(ticks(*stream), 0);
}

TEST_F(EventStreamTest, RepetitionStopsWhenPausedOrWhenTheShortcutChangesAndRestartsOnAPress) {
    auto stream = registry.repeatingKeyDownEvents(name);
    hotKeys.press(a.carbonKeyCode, a.carbonModifiers);
    ASSERT_EQ(ticks(*stream), 1);
    scheduler.advance(Seconds(0.5));
    ASSERT_EQ(ticks(*stream), 1);
    // Pausing stops it at the next tick
    registry.setPaused(true);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(ticks(*stream), 0);
    registry.setPaused(false);

    // A second press without a release starts over from the delay
    registry.handleEvent(EventType::keyDown, a);
    scheduler.advance(Seconds(0.4));
    registry.handleEvent(EventType::keyDown, a);
    scheduler.advance(Seconds(0.4));
    EXPECT_EQ(ticks(*stream), 1);
    scheduler.advance(Seconds(0.1));
    EXPECT_EQ(ticks(*stream), 1);

    // Moving the name to another shortcut while held ends the repetition
    registry.setShortcut(b, name);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(ticks(*stream), 0);
}

} // namespace
} // namespace corvane::testing
