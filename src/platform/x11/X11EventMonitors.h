#pragma once

#include "platform/EventMonitorList.h"
#include "platform/EventMonitors.h"
#include "platform/ModifierKeyState.h"

#include <QByteArray>
#include <QObject>

#include <memory>

namespace corvane {

class X11KeyGrab;
class X11RawInput;

// Event monitors on X11. Global monitors follow XInput2's raw events, which every program's input
// makes, the product's own included; local monitors follow the events Qt hands the product's own
// windows, through an application event filter that lets every event through. Neither source
// reports modifier flags, so modifier keys are followed by their presses and releases, each
// source on its own. Raw events are read only while a global monitor wants them. A button press
// is over one of the product's windows when the window under the pointer is one of them or the
// window manager's frame around one. Main thread only.
class X11EventMonitors final : public QObject, public EventMonitors {
    Q_OBJECT
public:
    explicit X11EventMonitors(const QByteArray& displayName = {});
    ~X11EventMonitors() override;

    std::optional<Handle> addGlobalMonitor(quint64 mask, Handler handler) override;
    std::optional<Handle> addLocalMonitor(quint64 mask, Handler handler) override;
    void removeMonitor(Handle handle) override;
    // Grabs the key standing for fn (again after every keymap change) while reserved.
    void setFunctionKeyReserved(bool reserved) override;
    quint64 currentModifierFlags() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Scope = EventMonitorList::Scope;

    // Reads the raw events and filters Qt's events just as far as the monitors need them.
    void updateSources();
    // The modifier keys held as the sources start following them.
    void seedHeldKeys(ModifierKeyState& keys);
    void rawKey(uint8_t keycode, bool pressed);
    void rawButton(uint8_t button);
    bool pointerOverOwnWindow();
    void keymapChanged();

    std::unique_ptr<X11RawInput> m_raw;
    std::unique_ptr<X11KeyGrab> m_grab;
    EventMonitorList m_monitors;
    ModifierKeyState m_globalKeys;
    ModifierKeyState m_localKeys;
    bool m_readingKeys = false;
    bool m_filtering = false;
    bool m_functionKeyReserved = false;
};

} // namespace corvane
