#pragma once

#include <QString>
#include <Qt>

namespace corvane::ShortcutKit {

// The modifier bits of stored shortcuts and hot keys. Command is the Super key here, option is Alt,
// control and shift are themselves; the function key has no counterpart on an X keyboard.
namespace CarbonModifiers {
inline constexpr qint64 command = 0x100;
inline constexpr qint64 shift = 0x200;
inline constexpr qint64 option = 0x800;
inline constexpr qint64 control = 0x1000;
inline constexpr qint64 function = 0x20000;
} // namespace CarbonModifiers

// The modifier flags of key events as bits of their own, one per modifier key (shift 0x20000,
// control 0x40000, option 0x80000, command 0x100000...), the form shortcuts are built from and
// compared in on the user-interface side. Conversions to the stored bits and to Qt's
// modifiers keep only what each encoding can hold.
struct ModifierFlags {
    static constexpr quint64 capsLock = 0x10000;
    static constexpr quint64 shift = 0x20000;
    static constexpr quint64 control = 0x40000;
    static constexpr quint64 option = 0x80000;
    static constexpr quint64 command = 0x100000;
    static constexpr quint64 numericPad = 0x200000;
    static constexpr quint64 function = 0x800000;

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
    // order they were pressed in ("Meta+Ctrl+Alt+Shift+"), the function modifier first as "Fn+";
    // empty when none is set.
    QString presentableDescription() const;

    // Qt's modifiers: Meta is the Super key on X11. Caps lock and function have no Qt modifier;
    // the numeric pad becomes Qt's keypad modifier.
    Qt::KeyboardModifiers qtModifiers() const;
    static ModifierFlags fromQt(Qt::KeyboardModifiers modifiers);
};

} // namespace corvane::ShortcutKit
