#include "platform/EventMonitorList.h"

#include <vector>

namespace corvane {

EventMonitors::Handle EventMonitorList::add(Scope scope, quint64 mask, EventMonitors::Handler handler) {
    const EventMonitors::Handle handle = ++m_lastHandle;
    m_monitors.emplace(handle, Monitor{scope, mask, std::move(handler)});
    return handle;
}

void EventMonitorList::remove(EventMonitors::Handle handle) {
    m_monitors.erase(handle);
}

quint64 EventMonitorList::maskOf(MonitoredEvent::Type type) {
    switch (type) {
    case MonitoredEvent::Type::keyDown:
        return EventMask::keyDown;
    case MonitoredEvent::Type::keyUp:
        return EventMask::keyUp;
    case MonitoredEvent::Type::flagsChanged:
        return EventMask::flagsChanged;
    case MonitoredEvent::Type::mouseMoved:
        return EventMask::pointerMoved;
    case MonitoredEvent::Type::leftMouseDown:
        return EventMask::leftMouseDown;
    case MonitoredEvent::Type::leftMouseUp:
        return EventMask::leftMouseUp;
    case MonitoredEvent::Type::rightMouseDown:
        return EventMask::rightMouseDown;
    }
    return 0;
}

void EventMonitorList::deliver(Scope scope, const MonitoredEvent& event) {
    const quint64 mask = maskOf(event.type);
    std::vector<EventMonitors::Handle> receivers;
    for (const auto& [handle, monitor] : m_monitors)
        if (monitor.scope == scope && (monitor.mask & mask))
            receivers.push_back(handle);
    for (EventMonitors::Handle handle : receivers) {
        const auto found = m_monitors.find(handle);
        if (found == m_monitors.end())
            continue; // removed by an earlier handler
        // A copy: the handler may remove its own monitor while it runs.
        const EventMonitors::Handler handler = found->second.handler;
        if (handler)
            handler(event);
    }
}

bool EventMonitorList::isWatched(Scope scope, quint64 mask) const {
    for (const auto& [handle, monitor] : m_monitors)
        if (monitor.scope == scope && (monitor.mask & mask))
            return true;
    return false;
}

int EventMonitorList::count(Scope scope) const {
    int n = 0;
    for (const auto& [handle, monitor] : m_monitors)
        n += monitor.scope == scope;
    return n;
}

} // namespace corvane
