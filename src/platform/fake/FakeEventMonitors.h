#pragma once

#include "platform/EventMonitorList.h"
#include "platform/EventMonitors.h"
#include "platform/ModifierKeyState.h"

namespace corvane {

class FakeScreens;

// Event monitoring in memory. A test presses and releases keys and moves the pointer, either as
// another program's events (global) or as the product's own (local); modifier keys turn into
// flags changes as on the real keyboard.
class FakeEventMonitors final : public EventMonitors {
public:
    using Scope = EventMonitorList::Scope;

    // Pointer moves also move the pointer of `screens`, when given.
    explicit FakeEventMonitors(FakeScreens* screens = nullptr) : m_screens(screens) {}

    std::optional<Handle> addGlobalMonitor(quint64 mask, Handler handler) override;
    std::optional<Handle> addLocalMonitor(quint64 mask, Handler handler) override;
    void removeMonitor(Handle handle) override { m_monitors.remove(handle); }
    void setFunctionKeyReserved(bool reserved) override { m_functionKeyReserved = reserved; }
    // The keys pressed and not released as other programs' events.
    quint64 currentModifierFlags() override { return m_globalKeys.flags(); }

    void pressKey(qint64 keyCode, Scope scope = Scope::global);
    void releaseKey(qint64 keyCode, Scope scope = Scope::global);
    void tapKey(qint64 keyCode, Scope scope = Scope::global);
    void movePointer(QPointF location, Scope scope = Scope::global);
    // The left or right button going down or up where the pointer is; `inOwnWindow` when that is
    // over one of the product's windows.
    void pressLeftButton(Scope scope = Scope::global, bool inOwnWindow = false) {
        sendButton(MonitoredEvent::Type::leftMouseDown, scope, inOwnWindow);
    }
    void releaseLeftButton(Scope scope = Scope::global) {
        sendButton(MonitoredEvent::Type::leftMouseUp, scope);
    }
    void pressRightButton(Scope scope = Scope::global, bool inOwnWindow = false) {
        sendButton(MonitoredEvent::Type::rightMouseDown, scope, inOwnWindow);
    }
    // Delivers an event as it is.
    void send(const MonitoredEvent& event, Scope scope = Scope::global) { m_monitors.deliver(scope, event); }

    // Makes the desktop refuse monitors of the scope from now on (or accept them again).
    void refuse(Scope scope, bool refused = true);

    int monitorCount(Scope scope) const { return m_monitors.count(scope); }
    bool isWatched(Scope scope, quint64 mask) const { return m_monitors.isWatched(scope, mask); }
    bool isFunctionKeyReserved() const { return m_functionKeyReserved; }

private:
    ModifierKeyState& keys(Scope scope) { return scope == Scope::global ? m_globalKeys : m_localKeys; }
    QPointF pointer() const;
    void sendButton(MonitoredEvent::Type type, Scope scope, bool inOwnWindow = false) {
        m_monitors.deliver(scope,
                           MonitoredEvent{type, std::nullopt, keys(scope).flags(), pointer(), inOwnWindow});
    }

    FakeScreens* m_screens;
    EventMonitorList m_monitors;
    ModifierKeyState m_globalKeys;
    ModifierKeyState m_localKeys;
    QPointF m_pointer;
    bool m_functionKeyReserved = false;
    bool m_refuseGlobal = false;
    bool m_refuseLocal = false;
};

} // namespace corvane
