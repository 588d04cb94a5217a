#pragma once

#include "platform/EventMonitors.h"

#include <set>

namespace corvane {

// For keyboards that report keys but no modifier flags: keeps which modifier keys are held and
// turns each press or release into the event it makes. A modifier key's press or release is a
// flags change; the flags hold a modifier while either of its two keys is down, so the right-hand
// key and the left-hand one are told apart by the key code of their own events.
class ModifierKeyState {
public:
    // The flag a modifier key sets while it is held; none for every other key.
    static std::optional<quint64> flagOf(qint64 keyCode);

    // The event a press makes; none for the repeats of a held modifier, which change nothing.
    // `keyCode` is none for keys without a virtual key code: a plain key press.
    std::optional<MonitoredEvent> press(std::optional<qint64> keyCode, QPointF location);
    MonitoredEvent release(std::optional<qint64> keyCode, QPointF location);

    quint64 flags() const;
    // Forgets every held key, for when the keyboard's state can no longer be followed.
    void clear() { m_held.clear(); }

private:
    std::set<qint64> m_held;
};

} // namespace corvane
