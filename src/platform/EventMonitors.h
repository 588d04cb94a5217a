#pragma once

#include "platform/ModifierBits.h"

#include <QPointF>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace corvane {

// The kinds of event a monitor watches, as bits of a mask.
namespace EventMask {
inline constexpr quint64 leftMouseDown = quint64(1) << 1;
inline constexpr quint64 leftMouseUp = quint64(1) << 2;
inline constexpr quint64 rightMouseDown = quint64(1) << 3;
inline constexpr quint64 mouseMoved = quint64(1) << 5;
inline constexpr quint64 leftMouseDragged = quint64(1) << 6;
inline constexpr quint64 rightMouseDragged = quint64(1) << 7;
inline constexpr quint64 keyDown = quint64(1) << 10;
inline constexpr quint64 keyUp = quint64(1) << 11;
inline constexpr quint64 flagsChanged = quint64(1) << 12;
// Every kind of pointer movement: with no button, or dragging with either button.
inline constexpr quint64 pointerMoved = mouseMoved | leftMouseDragged | rightMouseDragged;
} // namespace EventMask

// The virtual key code of the key that stands for fn: the one that produces XF86Fn where the
// keymap has one, else the Menu key. Pressing it is a modifier change, not a key press.
inline constexpr qint64 functionKeyCode = 63;

// One keyboard or pointer event as a monitor sees it.
struct MonitoredEvent {
    enum class Type { keyDown, keyUp, flagsChanged, mouseMoved, leftMouseDown, leftMouseUp, rightMouseDown };

    Type type = Type::mouseMoved;
    // The virtual key code of the key pressed, released, or whose modifier changed; none for
    // pointer events and for keys the stored form of key codes cannot name.
    std::optional<qint64> keyCode;
    // The modifier flags once the event has happened: a modifier stays set while either of its
    // two keys is held.
    quint64 modifierFlags = 0;
    // The pointer, in the product's coordinate space: where it moved to for pointer events, as
    // last known for key events.
    QPointF location;
    // For a button going down: whether it went down over one of the product's own windows (told
    // by the window under the pointer), so that a global monitor can tell a click in another
    // program from one of the product's own.
    bool inOwnWindow = false;
};

// Watches keyboard and pointer events whichever program they go to. Handlers run on the main
// thread. Main thread only.
class EventMonitors {
public:
    using Handle = quint64;
    using Handler = std::function<void(const MonitoredEvent&)>;

    virtual ~EventMonitors() = default;

    // Watches the events of the kinds in `mask` that every program gets. The desktop cannot say
    // which program a key went to, so the product's own events come here too; a button going down
    // says whether it was over one of the product's windows. None when the desktop offers no such
    // monitoring.
    virtual std::optional<Handle> addGlobalMonitor(quint64 mask, Handler handler) = 0;
    // Watches the events the product's own windows get. Every event goes on to its window
    // unchanged: a local monitor only looks.
    virtual std::optional<Handle> addLocalMonitor(quint64 mask, Handler handler) = 0;
    // From the return on the handler is not called again; an unknown handle is ignored.
    virtual void removeMonitor(Handle handle) = 0;

    // While reserved, the key standing for fn reaches no other program; its events still reach
    // the monitors.
    virtual void setFunctionKeyReserved(bool reserved) = 0;

    // The modifier flags of the keys held at this moment, asked of the desktop: a key let go
    // before a monitor was installed shows here, never as an event.
    virtual quint64 currentModifierFlags() = 0;
};

} // namespace corvane
