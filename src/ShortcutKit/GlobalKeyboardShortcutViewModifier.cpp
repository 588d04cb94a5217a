#include "ShortcutKit/GlobalKeyboardShortcutViewModifier.h"

#include "ShortcutKit/KeySequence.h"
#include "ShortcutKit/Registry.h"
#include "ShortcutKit/ShortcutNotifications.h"

#include <QAbstractButton>
#include <QAction>
#include <QPointer>

namespace corvane::ShortcutKit {

GlobalKeyboardShortcutViewModifier::GlobalKeyboardShortcutViewModifier(QObject& target, Apply apply,
                                                                       const Name& name, Registry& shortcuts,
                                                                       NotificationCenter& notifications)
    : QObject(&target), m_apply(std::move(apply)), m_name(name), m_shortcuts(shortcuts) {
    QPointer<GlobalKeyboardShortcutViewModifier> self(this);
    m_nameObserver = notifications.addObserver(shortcutByNameDidChange, [self](const Notification& note) {
        if (!self)
            return;
        const std::optional<Name> changed = shortcutName(note);
        if (changed && changed->rawValue == self->m_name.rawValue)
            self->refresh();
    });
    m_recorderObserver =
        notifications.addObserver(recorderActiveStatusDidChange, [self](const Notification& note) {
            if (!self)
                return;
            self->m_isRecorderActive = recorderIsActive(note);
            self->refresh();
        });
    refresh();
}

void GlobalKeyboardShortcutViewModifier::refresh() {
    QKeySequence sequence;
    // Lifted while a recorder records, so the combination reaches the recorder.
    if (!m_isRecorderActive)
        if (const std::optional<Shortcut> shortcut = m_shortcuts.getShortcut(m_name))
            sequence = ShortcutKit::keySequence(*shortcut, m_shortcuts.keyboard()).value_or(QKeySequence());
    m_applied = sequence;
    if (m_apply)
        m_apply(sequence);
}

GlobalKeyboardShortcutViewModifier& globalKeyboardShortcut(QAbstractButton& view, const Name& name,
                                                           Registry& shortcuts,
                                                           NotificationCenter& notifications) {
    QPointer<QAbstractButton> button(&view);
    auto apply = [button](const QKeySequence& sequence) {
        if (button)
            button->setShortcut(sequence);
    };
    return *new GlobalKeyboardShortcutViewModifier(view, apply, name, shortcuts, notifications);
}

GlobalKeyboardShortcutViewModifier& globalKeyboardShortcut(QAction& action, const Name& name,
                                                           Registry& shortcuts,
                                                           NotificationCenter& notifications) {
    QPointer<QAction> target(&action);
    auto apply = [target](const QKeySequence& sequence) {
        if (target)
            target->setShortcut(sequence);
    };
    return *new GlobalKeyboardShortcutViewModifier(action, apply, name, shortcuts, notifications);
}

} // namespace corvane::ShortcutKit
