// The streams' side of the registry: their closures take part in dispatch and keep their hot keys
// registered exactly like actions do.
#include "ShortcutKit/Registry.h"

#include "ShortcutKit/EventStream.h"
#include "ShortcutKit/RepeatingEventStream.h"
#include "platform/Keyboard.h"

namespace corvane::ShortcutKit {

namespace {
template <typename Table, typename Key> void eraseStream(Table& table, const Key& key, quint64 id) {
    const auto found = table.find(key);
    if (found == table.end())
        return;
    found->second.erase(id);
    if (found->second.empty())
        table.erase(found);
}
} // namespace

quint64 Registry::addStream(const StreamTarget& target, Action onKeyDown, Action onKeyUp) {
    const quint64 id = ++m_lastStreamId;
    if (const Name* name = std::get_if<Name>(&target)) {
        m_keyDownNameStreams[*name][id] = std::move(onKeyDown);
        m_keyUpNameStreams[*name][id] = std::move(onKeyUp);
        registerShortcutIfNeeded(*name);
    } else {
        const Shortcut& shortcut = std::get<Shortcut>(target);
        m_keyDownShortcutStreams[shortcut][id] = std::move(onKeyDown);
        m_keyUpShortcutStreams[shortcut][id] = std::move(onKeyUp);
        // No name, so no disabled check and no stored value take part.
        registerHotKey(shortcut);
    }
    return id;
}

void Registry::removeStream(const StreamTarget& target, quint64 id) {
    if (const Name* name = std::get_if<Name>(&target)) {
        eraseStream(m_keyDownNameStreams, *name, id);
        eraseStream(m_keyUpNameStreams, *name, id);
        if (const std::optional<Shortcut> shortcut = getShortcut(*name))
            releaseHotKeyIfUnused(*shortcut);
    } else {
        const Shortcut& shortcut = std::get<Shortcut>(target);
        eraseStream(m_keyDownShortcutStreams, shortcut, id);
        eraseStream(m_keyUpShortcutStreams, shortcut, id);
        releaseHotKeyIfUnused(shortcut);
    }
}

std::unique_ptr<EventStream> Registry::events(const Name& name) {
    return std::make_unique<EventStream>(*this, name);
}

std::unique_ptr<EventStream> Registry::events(const Shortcut& shortcut) {
    return std::make_unique<EventStream>(*this, shortcut);
}

std::unique_ptr<EventStream> Registry::events(EventType type, const Name& name) {
    return std::make_unique<EventStream>(*this, name, type);
}

std::unique_ptr<EventStream> Registry::events(EventType type, const Shortcut& shortcut) {
    return std::make_unique<EventStream>(*this, shortcut, type);
}

std::unique_ptr<RepeatingEventStream> Registry::repeatingKeyDownEvents(const Name& name) {
    return std::make_unique<RepeatingEventStream>(*this, m_scheduler, name, m_keyboard.keyRepeat());
}

std::unique_ptr<RepeatingEventStream> Registry::repeatingKeyDownEvents(const Shortcut& shortcut) {
    return std::make_unique<RepeatingEventStream>(*this, m_scheduler, shortcut, m_keyboard.keyRepeat());
}

} // namespace corvane::ShortcutKit
