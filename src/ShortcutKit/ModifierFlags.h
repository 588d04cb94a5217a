#pragma once

#include "platform/ModifierBits.h"

#include <QString>
#include <Qt>

namespace corvane::ShortcutKit {

// The modifier bits of stored shortcuts and hot keys (platform/ModifierBits.h).
namespace CarbonModifiers {
inline constexpr qint64 command = HotKeyModifier::command;
inline constexpr qint64 shift = HotKeyModifier::shift;
inline constexpr qint64 option = HotKeyModifier::option;
inline constexpr qint64 control = HotKeyModifier::control;
inline constexpr qint64 function = HotKeyModifier::function;
} // namespace CarbonModifiers

// The modifier flags of key events as bits of their own, one per modifier key (shift 0x20000,
// control 0x40000, option 0x80000, command 0x100000...), the form shortcuts are built from and
// compared in on the user-interface side. Conversions to the stored bits and to Qt's
// modifiers keep only what each encoding can hold.
struct ModifierFlags {
    static constexpr quint64 capsLock = EventModifier::capsLock;
    static constexpr quint64 shift = EventModifier::shift;
    static constexpr quint64 control = EventModifier::control;
    static constexpr quint64 option = EventModifier::option;
    static constexpr quint64 command = EventModifier::command;
    static constexpr quint64 numericPad = EventModifier::numericPad;
    static constexpr quint64 function = EventModifier::function;

    quint64 rawValue = 0;

    constexpr ModifierFlags() = default;
    constexpr ModifierFlags(quint64 raw) : rawValue(raw) {} // NOLINT: flags combine as plain numbers
    constexpr bool operator==(const ModifierFlags&) const = default;
    constexpr bool contains(quint64 flag) const { return (rawValue & flag) == flag; }

    // The stored bits of control, option, shift, command and function; every other flag is dropped.
    qint64 carbon() const;
    // The flags of the five stored bits; other bits are ignored. A round trip through the stored
    // form is the normalisation shortcuts rely on when they are compared.
    static ModifierFlags fromCarbon(qint64 bits);

    // The set modifiers as they lead a shortcut's text, in Qt's native form and order whatever
    // order they were pressed in ("Super+Ctrl+Alt+Shift+"), the function modifier first as "Fn+";
    // empty when none is set.
    QString presentableDescription() const;

    // Qt's modifiers: Meta is the Super key on X11. Caps lock and function have no Qt modifier;
    // the numeric pad becomes Qt's keypad modifier.
    Qt::KeyboardModifiers qtModifiers() const;
    static ModifierFlags fromQt(Qt::KeyboardModifiers modifiers);
};

} // namespace corvane::ShortcutKit
