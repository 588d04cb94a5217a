#pragma once

#include <QKeyCombination>
#include <QString>

namespace corvane {

// Every shortcut the user sees is written one way, as a PC keyboard labels its keys: the way Qt
// writes key sequences natively on this desktop ("Ctrl+Alt+Left", "Alt+Shift+S"), but with the
// logo key as "Super", not Qt's "Meta". Menus show their items' own shortcuts (none has Super) by
// themselves; pages, tooltips, toasts and logs use these functions.

// The text of a key with its modifiers ("Ctrl+Alt+Left", "Alt+3").
QString shortcutText(QKeyCombination combination);
// The modifiers as they lead a shortcut's text, each followed by "+" ("Ctrl+Alt+"); empty for
// none. For keys Qt has no name for, whose own text then follows.
QString modifierPrefix(Qt::KeyboardModifiers modifiers);

} // namespace corvane
