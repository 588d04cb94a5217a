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
} // namespace

std::optional<QKeySequence> keySequence(const Shortcut& shortcut, const Keyboard& keyboard) {
    std::optional<Qt::Key> key;
    if (SpecialKey::byKeyCode(shortcut.carbonKeyCode)) {
        const auto found = specialQtKeys().find(shortcut.carbonKeyCode);
        if (found != specialQtKeys().end())
            key = found->second;
    } else if (const std::optional<QString> text =
                   Shortcut::keyToCharacter(shortcut.carbonKeyCode, keyboard)) {
        // Qt names a printing key by the upper-case form of its character.
        const QString upper = text->toUpper();
        if (upper.size() == 1)
            key = static_cast<Qt::Key>(upper.at(0).unicode());
    }
    if (!key)
        return std::nullopt;
    Qt::KeyboardModifiers modifiers = shortcut.modifiers().qtModifiers();
    modifiers &= ~Qt::KeypadModifier;
    return QKeySequence(QKeyCombination(modifiers, *key));
}

} // namespace corvane::ShortcutKit
