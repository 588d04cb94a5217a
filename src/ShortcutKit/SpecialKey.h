#pragma once

#include <QString>

namespace corvane::ShortcutKit {

// A key shown by a symbol or name of its own, never through the keyboard layout: return, tab,
// space, the arrows, the function keys, the keypad and the like (53 keys).
struct SpecialKey {
    qint64 keyCode;
    QString displayText;

    // The special key with that key code; null for every other key.
    static const SpecialKey* byKeyCode(qint64 keyCode);
};

} // namespace corvane::ShortcutKit
