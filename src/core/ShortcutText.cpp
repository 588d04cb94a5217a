#include "core/ShortcutText.h"

#include <QKeySequence>

namespace corvane {

QString shortcutText(QKeyCombination combination) {
    QString text = QKeySequence(combination).toString(QKeySequence::NativeText);
    // Qt names the logo key's modifier "Meta"; PC keyboards and their desktops call it Super.
    if (combination.keyboardModifiers().testFlag(Qt::MetaModifier))
        text.replace(QStringLiteral("Meta+"), QStringLiteral("Super+"));
    return text;
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
