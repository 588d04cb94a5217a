#include "ShortcutKit/EventStream.h"

namespace corvane::ShortcutKit {

namespace {
std::function<void()> yielding(EventChannel<EventType> channel, EventType type,
                               std::optional<EventType> only) {
    if (only && *only != type)
        return [] {};
    return [channel, type]() mutable { channel.push(type); };
}
} // namespace

EventStream::EventStream(Registry& registry, StreamTarget target, std::optional<EventType> only)
    : m_registration(registry, std::move(target), yielding(m_channel, EventType::keyDown, only),
                     yielding(m_channel, EventType::keyUp, only)) {}

} // namespace corvane::ShortcutKit
