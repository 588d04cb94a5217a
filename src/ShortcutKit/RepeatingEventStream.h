#pragma once

#include "ShortcutKit/EventChannel.h"
#include "ShortcutKit/StreamRegistration.h"
#include "platform/Keyboard.h"
#include "runtime/Scheduler.h"

#include <memory>
#include <optional>

namespace corvane::ShortcutKit {

// Ticks once when a shortcut is pressed, then, while it is held, once after the keyboard's
// repeat delay and once per repeat interval until it is released. Only the newest tick waits:
// a slow consumer never sees a backlog. The repetition stops at the next tick when the hot keys
// are paused or switched off, or when the name's shortcut changed since the press. Dropping the
// stream ends it.
class RepeatingEventStream {
public:
    struct Tick {};

    RepeatingEventStream(Registry& registry, Scheduler& scheduler, StreamTarget target, KeyRepeat repeat);
    ~RepeatingEventStream();
    RepeatingEventStream(const RepeatingEventStream&) = delete;
    RepeatingEventStream& operator=(const RepeatingEventStream&) = delete;

    auto next() const { return m_channel.next(); }
    std::optional<Tick> tryTake() { return m_channel.tryTake(); }
    std::size_t pending() const { return m_channel.pending(); }

private:
    struct State;
    EventChannel<Tick> m_channel{1};
    std::shared_ptr<State> m_state;
    StreamRegistration m_registration;

    static std::shared_ptr<State> makeState(Registry& registry, Scheduler& scheduler,
                                            const StreamTarget& target, KeyRepeat repeat,
                                            EventChannel<Tick> channel);
};

} // namespace corvane::ShortcutKit
