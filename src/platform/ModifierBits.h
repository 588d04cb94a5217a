#pragma once

#include <QtGlobal>

namespace corvane {

// The two encodings of modifier keys, defined once. Command is the Super key here, option is
// Alt, control and shift are themselves; the function key has no counterpart on an X keyboard.

// The bits of stored shortcuts and hot keys (HotKeys::registerHotKey). A stored format: the values
// never change.
namespace HotKeyModifier {
inline constexpr qint64 command = 0x100;
inline constexpr qint64 shift = 0x200;
inline constexpr qint64 option = 0x800;
inline constexpr qint64 control = 0x1000;
inline constexpr qint64 function = 0x20000;
} // namespace HotKeyModifier

// The flags of key events (monitored events, and shortcuts as the user interface builds and
// compares them), the same for the left-hand and the right-hand key.
namespace EventModifier {
inline constexpr quint64 capsLock = 0x10000;
inline constexpr quint64 shift = 0x20000;
inline constexpr quint64 control = 0x40000;
inline constexpr quint64 option = 0x80000;
inline constexpr quint64 command = 0x100000;
inline constexpr quint64 numericPad = 0x200000;
inline constexpr quint64 function = 0x800000;
} // namespace EventModifier

} // namespace corvane
