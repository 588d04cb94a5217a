#pragma once

#include "ShortcutKit/Name.h"
#include "runtime/NotificationCenter.h"

#include <QKeySequence>
#include <QObject>

#include <functional>

class QAbstractButton;
class QAction;

namespace corvane::ShortcutKit {

class Registry;

// Gives an action or a button of the application's own windows a name's stored shortcut as its
// Qt shortcut, so that it shows and answers the user's choice while its window is active. It
// follows the name's changes, and lifts the shortcut while any recorder records so that the
// combination reaches the recorder. Lives as a child of its target. Main thread only.
class GlobalKeyboardShortcutViewModifier final : public QObject {
    Q_OBJECT
public:
    using Apply = std::function<void(const QKeySequence&)>;

    GlobalKeyboardShortcutViewModifier(QObject& target, Apply apply, const Name& name, Registry& shortcuts,
                                       NotificationCenter& notifications);

    const Name& name() const { return m_name; }
    bool isRecorderActive() const { return m_isRecorderActive; }
    // What the target carries now; empty while lifted or without a shortcut Qt can name.
    QKeySequence keySequence() const { return m_applied; }

private:
    void refresh();

    Apply m_apply;
    Name m_name;
    Registry& m_shortcuts;
    bool m_isRecorderActive = false;
    QKeySequence m_applied;
    ObserverToken m_nameObserver;
    ObserverToken m_recorderObserver;
};

GlobalKeyboardShortcutViewModifier& globalKeyboardShortcut(QAbstractButton& view, const Name& name,
                                                           Registry& shortcuts,
                                                           NotificationCenter& notifications);
GlobalKeyboardShortcutViewModifier& globalKeyboardShortcut(QAction& action, const Name& name,
                                                           Registry& shortcuts,
                                                           NotificationCenter& notifications);

} // namespace corvane::ShortcutKit
