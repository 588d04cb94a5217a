#pragma once

#include "ShortcutKit/EventChannel.h"
#include "ShortcutKit/EventType.h"
#include "ShortcutKit/StreamRegistration.h"

#include <optional>

namespace corvane::ShortcutKit {

// The presses and releases of a named shortcut or a bare combination, in order, buffered without
// limit until taken:
//     while (auto event = co_await stream->next()) ...
// Nothing arrives while the hot keys are paused, for a disabled name, or for a name whose stored
// shortcut is not the one pressed. Dropping the stream ends it; a consumer still waiting in
// `next` then gets none and must not touch the stream again.
class EventStream {
public:
    // With `only`, the stream carries events of that type alone.
    EventStream(Registry& registry, StreamTarget target, std::optional<EventType> only = std::nullopt);
    ~EventStream() { m_channel.finish(); }
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;

    auto next() const { return m_channel.next(); }
    std::optional<EventType> tryTake() { return m_channel.tryTake(); }
    std::size_t pending() const { return m_channel.pending(); }

private:
    EventChannel<EventType> m_channel;
    StreamRegistration m_registration;
};

} // namespace corvane::ShortcutKit
