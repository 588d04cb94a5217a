#include "ShortcutKit/KeySequence.h"

#include "ShortcutKit/Key.h"
#include "ShortcutKit/Shortcut.h"
#include "ShortcutKit/SpecialKey.h"

#include <map>

namespace corvane::ShortcutKit {

namespace {
// The special keys Qt names by a key of its own; the keypad keys have none.
const std::map<qint64, Qt::Key>& specialQtKeys() {
    static const std::map<qint64, Qt::Key> keys = [] {
        std::map<qint64, Qt::Key> table{
            {Key::returnKey.rawValue, Qt::Key_Return},
            {Key::deleteKey.rawValue, Qt::Key_Backspace},
            {Key::deleteForward.rawValue, Qt::Key_Delete},
            {Key::end.rawValue, Qt::Key_End},
            {Key::escape.rawValue, Qt::Key_Escape},
            {Key::help.rawValue, Qt::Key_Help},
            {Key::home.rawValue, Qt::Key_Home},
            {Key::space.rawValue, Qt::Key_Space},
            {Key::tab.rawValue, Qt::Key_Tab},
            {Key::pageUp.rawValue, Qt::Key_PageUp},
            {Key::pageDown.rawValue, Qt::Key_PageDown},
            {Key::upArrow.rawValue, Qt::Key_Up},
            {Key::rightArrow.rawValue, Qt::Key_Right},
            {Key::downArrow.rawValue, Qt::Key_Down},
            {Key::leftArrow.rawValue, Qt::Key_Left},
        };
        const Key functionKeys[] = {Key::f1,  Key::f2,  Key::f3,  Key::f4,  Key::f5,  Key::f6,  Key::f7,
                                    Key::f8,  Key::f9,  Key::f10, Key::f11, Key::f12, Key::f13, Key::f14,
                                    Key::f15, Key::f16, Key::f17, Key::f18, Key::f19, Key::f20};
        int index = 0;
        for (const Key key : functionKeys)
            table.emplace(key.rawValue, static_cast<Qt::Key>(Qt::Key_F1 + index++));
        return table;
    }();
    return keys;
}

// The keypad's keys: Qt names them by the main keys' names with its keypad modifier.
const std::map<qint64, Qt::Key>& keypadQtKeys() {
    static const std::map<qint64, Qt::Key> keys = [] {
        std::map<qint64, Qt::Key> table{
            {Key::keypadClear.rawValue, Qt::Key_Clear},       {Key::keypadDecimal.rawValue, Qt::Key_Period},
            {Key::keypadDivide.rawValue, Qt::Key_Slash},      {Key::keypadEnter.rawValue, Qt::Key_Enter},
            {Key::keypadEquals.rawValue, Qt::Key_Equal},      {Key::keypadMinus.rawValue, Qt::Key_Minus},
            {Key::keypadMultiply.rawValue, Qt::Key_Asterisk}, {Key::keypadPlus.rawValue, Qt::Key_Plus},
        };
        const Key digits[] = {Key::keypad0, Key::keypad1, Key::keypad2, Key::keypad3, Key::keypad4,
                              Key::keypad5, Key::keypad6, Key::keypad7, Key::keypad8, Key::keypad9};
        int digit = 0;
        for (const Key key : digits)
            table.emplace(key.rawValue, static_cast<Qt::Key>(Qt::Key_0 + digit++));
        return table;
    }();
    return keys;
}

// The volume keys print nothing; Qt names them as keyboards label them ("Volume Up").
const std::map<qint64, Qt::Key>& mediaQtKeys() {
    static const std::map<qint64, Qt::Key> keys{
        {Key::mute.rawValue, Qt::Key_VolumeMute},
        {Key::volumeUp.rawValue, Qt::Key_VolumeUp},
        {Key::volumeDown.rawValue, Qt::Key_VolumeDown},
    };
    return keys;
}

std::optional<Qt::Key> lookUp(const std::map<qint64, Qt::Key>& table, qint64 keyCode) {
    const auto found = table.find(keyCode);
    return found == table.end() ? std::nullopt : std::optional<Qt::Key>(found->second);
}
} // namespace

std::optional<QKeyCombination> keyCombination(const Shortcut& shortcut, const Keyboard& keyboard) {
    Qt::KeyboardModifiers modifiers = shortcut.modifiers().qtModifiers() & ~Qt::KeypadModifier;
    std::optional<Qt::Key> key;
    if (SpecialKey::byKeyCode(shortcut.carbonKeyCode)) {
        key = lookUp(specialQtKeys(), shortcut.carbonKeyCode);
        if (!key) {
            key = lookUp(keypadQtKeys(), shortcut.carbonKeyCode);
            modifiers |= Qt::KeypadModifier;
        }
    } else if (const std::optional<Qt::Key> media = lookUp(mediaQtKeys(), shortcut.carbonKeyCode)) {
        key = media;
    } else if (const std::optional<QString> text =
                   Shortcut::keyToCharacter(shortcut.carbonKeyCode, keyboard)) {
        // Qt names a printing key by the upper-case form of its character.
        const QString upper = text->toUpper();
        if (upper.size() == 1)
            key = static_cast<Qt::Key>(upper.at(0).unicode());
    }
    if (!key)
        return std::nullopt;
    return QKeyCombination(modifiers, *key);
}

std::optional<QKeySequence> keySequence(const Shortcut& shortcut, const Keyboard& keyboard) {
    const std::optional<QKeyCombination> combination = keyCombination(shortcut, keyboard);
    if (!combination || combination->keyboardModifiers().testFlag(Qt::KeypadModifier))
        return std::nullopt;
    return QKeySequence(*combination);
}

} // namespace corvane::ShortcutKit
