#pragma once

#include <QKeyCombination>
#include <QString>

namespace corvane {

// Every shortcut the user sees is written one way, the way Qt writes key sequences natively on
// this desktop: "Ctrl+Alt+Left", "Alt+Shift+S", the Super key as "Meta". Menus show their items'
// shortcuts in this form by themselves; pages, tooltips, toasts and logs use these functions.

// The text of a key with its modifiers ("Ctrl+Alt+Left", "Alt+3").
QString shortcutText(QKeyCombination combination);
// The modifiers as they lead a shortcut's text, each followed by "+" ("Ctrl+Alt+"); empty for
// none. For keys Qt has no name for, whose own text then follows.
QString modifierPrefix(Qt::KeyboardModifiers modifiers);

} // namespace corvane
