#include "core/ShortcutText.h"

#include <QKeySequence>

namespace corvane {

QString shortcutText(QKeyCombination combination) {
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

QString modifierPrefix(Qt::KeyboardModifiers modifiers) {
    if (!modifiers)
        return {};
    // Qt writes modifiers only in front of a key: write them before a letter and drop it.
    QString text = shortcutText(QKeyCombination(modifiers, Qt::Key_A));
    text.chop(1);
    return text;
}

} // namespace corvane
