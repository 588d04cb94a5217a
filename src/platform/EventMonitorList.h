#pragma once

#include "platform/EventMonitors.h"

#include <map>

namespace corvane {

// The monitors a desktop's event source serves, global and local, and the delivery of one event
// to those that watch its kind. A handler may add or remove monitors while it runs: a monitor
// removed during a delivery is not called by it any more, one added is called from the next.
class EventMonitorList {
public:
    enum class Scope { global, local };

    EventMonitors::Handle add(Scope scope, quint64 mask, EventMonitors::Handler handler);
    void remove(EventMonitors::Handle handle);

    void deliver(Scope scope, const MonitoredEvent& event);
    // Whether any monitor of the scope watches one of the kinds in `mask`.
    bool isWatched(Scope scope, quint64 mask) const;
    int count(Scope scope) const;

    // The mask bits of an event's kind: any kind of pointer movement matches a moved event.
    static quint64 maskOf(MonitoredEvent::Type type);

private:
    struct Monitor {
        Scope scope;
        quint64 mask;
        EventMonitors::Handler handler;
    };
    std::map<EventMonitors::Handle, Monitor> m_monitors;
    EventMonitors::Handle m_lastHandle = 0;
};

} // namespace corvane
