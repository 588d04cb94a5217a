#include "platform/ModifierKeyState.h"

namespace corvane {

std::optional<quint64> ModifierKeyState::flagOf(qint64 keyCode) {
    switch (keyCode) {
    case 55: // command, left
    case 54: // command, right
        return EventModifier::command;
    case 56:
    case 60:
        return EventModifier::shift;
    case 58:
    case 61:
        return EventModifier::option;
    case 59:
    case 62:
        return EventModifier::control;
    case functionKeyCode:
        return EventModifier::function;
    default:
        return std::nullopt;
    }
}

quint64 ModifierKeyState::flags() const {
    quint64 flags = 0;
    for (qint64 key : m_held)
        flags |= flagOf(key).value_or(0);
    return flags;
}

std::optional<MonitoredEvent> ModifierKeyState::press(std::optional<qint64> keyCode, QPointF location) {
    MonitoredEvent event{MonitoredEvent::Type::keyDown, keyCode, 0, location};
    if (keyCode && flagOf(*keyCode)) {
        if (!m_held.insert(*keyCode).second)
            return std::nullopt;
        event.type = MonitoredEvent::Type::flagsChanged;
    }
    event.modifierFlags = flags();
    return event;
}

MonitoredEvent ModifierKeyState::release(std::optional<qint64> keyCode, QPointF location) {
    MonitoredEvent event{MonitoredEvent::Type::keyUp, keyCode, 0, location};
    if (keyCode && flagOf(*keyCode)) {
        m_held.erase(*keyCode);
        event.type = MonitoredEvent::Type::flagsChanged;
    }
    event.modifierFlags = flags();
    return event;
}

} // namespace corvane
