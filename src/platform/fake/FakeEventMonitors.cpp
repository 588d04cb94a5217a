#include "platform/fake/FakeEventMonitors.h"

#include "platform/fake/FakeScreens.h"

namespace corvane {

std::optional<EventMonitors::Handle> FakeEventMonitors::addGlobalMonitor(quint64 mask, Handler handler) {
    if (m_refuseGlobal)
        return std::nullopt;
    return m_monitors.add(Scope::global, mask, std::move(handler));
}

std::optional<EventMonitors::Handle> FakeEventMonitors::addLocalMonitor(quint64 mask, Handler handler) {
    if (m_refuseLocal)
        return std::nullopt;
    return m_monitors.add(Scope::local, mask, std::move(handler));
}

void FakeEventMonitors::refuse(Scope scope, bool refused) {
    (scope == Scope::global ? m_refuseGlobal : m_refuseLocal) = refused;
}

QPointF FakeEventMonitors::pointer() const {
    return m_screens ? m_screens->pointerLocation() : m_pointer;
}

void FakeEventMonitors::pressKey(qint64 keyCode, Scope scope) {
    if (const auto event = keys(scope).press(keyCode, pointer()))
        m_monitors.deliver(scope, *event);
}

void FakeEventMonitors::releaseKey(qint64 keyCode, Scope scope) {
    m_monitors.deliver(scope, keys(scope).release(keyCode, pointer()));
}

void FakeEventMonitors::tapKey(qint64 keyCode, Scope scope) {
    pressKey(keyCode, scope);
    releaseKey(keyCode, scope);
}

void FakeEventMonitors::movePointer(QPointF location, Scope scope) {
    m_pointer = location;
    if (m_screens)
        m_screens->setPointer(location);
    m_monitors.deliver(
        scope, MonitoredEvent{MonitoredEvent::Type::mouseMoved, std::nullopt, keys(scope).flags(), location});
}

} // namespace corvane
