#pragma once

#include "ShortcutKit/Key.h"
#include "ShortcutKit/ModifierFlags.h"

#include <QString>

#include <compare>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QKeyEvent;

namespace corvane {
class Keyboard;
}

namespace corvane::ShortcutKit {

class HotKeyCenter;
struct MenuKeyEquivalent;

// One key plus modifier keys, in the stored encoding of hot keys: a virtual key code and the
// modifier bits of CarbonModifiers. Equal when both numbers are equal; ordered so that it can key
// a table (one hot key per distinct shortcut).
struct Shortcut {
    qint64 carbonKeyCode = 0;
    qint64 carbonModifiers = 0;

    Shortcut() = default;
    // The application's defaults are built this way. Only control, option, shift, command and
    // function survive in the modifiers.
    explicit Shortcut(Key key, ModifierFlags modifiers = {});
    // The key code as given and the modifiers normalised as above.
    static Shortcut fromCarbon(qint64 keyCode, qint64 modifiers);
    // A key press or release as a shortcut; none for any other event or a key the stored form
    // cannot name. The function modifier is never recorded from the keyboard.
    static std::optional<Shortcut> fromKeyEvent(const QKeyEvent& event, const Keyboard& keyboard);

    auto operator<=>(const Shortcut&) const = default;

    Key key() const { return Key(carbonKeyCode); }
    ModifierFlags modifiers() const { return ModifierFlags::fromCarbon(carbonModifiers); }

    // The text users see, in Qt's native key-sequence form: the modifiers, then the key by Qt's
    // name for it or as the layout prints it, capitalised ("Alt+Shift+S", "Ctrl+Alt+Left", "F5",
    // "Num+7"), or "�" when the layout prints nothing on it. The function modifier leads as "Fn+".
    QString description(const Keyboard& keyboard) const;
    // The one character the layout prints on the key without modifiers; none for special keys,
    // key codes outside 16 bits, and keys that print nothing or more than one character.
    static std::optional<QString> keyToCharacter(qint64 keyCode, const Keyboard& keyboard);

    // The stored form: compact JSON text of an object with the integer members "carbonKeyCode"
    // and "carbonModifiers".
    std::string jsonText() const;
    // Reads the stored form back, keeping the numbers as they stand. Any valid JSON object with
    // both members as integers is accepted; anything else, and numbers no key event could carry
    // (a key code outside 16 bits, modifiers outside 32), gives none: a damaged or hostile store
    // reads as no shortcut.
    static std::optional<Shortcut> fromJsonText(std::string_view text);

    // Whether the desktop itself uses the shortcut, for the recorder's conflict check: the hot-key
    // centre asks the desktop (F12 alone never counts).
    bool isTakenBySystem(const HotKeyCenter& center) const;
    // The title of the first item of `menu` whose keys are the shortcut: the key as the layout
    // prints it and exactly the same modifiers. None when no item uses it; a keypad key never
    // matches an item.
    std::optional<QString> takenByMainMenu(const std::vector<MenuKeyEquivalent>& menu,
                                           const Keyboard& keyboard) const;
};

} // namespace corvane::ShortcutKit
