#include "ShortcutKit/GlobalShortcutListener.h"

#include "ShortcutKit/Registry.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace corvane::ShortcutKit {

GlobalShortcutListener::GlobalShortcutListener(QWidget& view, const Name& name, Registry& shortcuts,
                                               Perform perform, std::optional<EventType> only)
    : QObject(&view), m_name(name), m_shortcuts(shortcuts), m_perform(std::move(perform)), m_only(only) {
    view.installEventFilter(this);
    if (view.isVisible())
        startListening();
}

GlobalShortcutListener::~GlobalShortcutListener() {
    stopListening();
}

bool GlobalShortcutListener::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent()) {
        if (event->type() == QEvent::Show)
            startListening();
        else if (event->type() == QEvent::Hide)
            stopListening();
    }
    return QObject::eventFilter(watched, event);
}

void GlobalShortcutListener::startListening() {
    if (m_streamId != 0)
        return;
    QPointer<GlobalShortcutListener> self(this);
    m_streamId = m_shortcuts.addStream(
        m_name,
        [self] {
            if (self)
                self->deliver(EventType::keyDown);
        },
        [self] {
            if (self)
                self->deliver(EventType::keyUp);
        });
}

void GlobalShortcutListener::stopListening() {
    if (m_streamId == 0)
        return;
    m_shortcuts.removeStream(m_name, std::exchange(m_streamId, 0));
}

void GlobalShortcutListener::deliver(EventType type) {
    if (m_only && *m_only != type)
        return;
    if (m_perform) {
        // A copy: the action may take the view, and this listener with it, away.
        const Perform perform = m_perform;
        perform(type);
    }
}

GlobalShortcutListener& onGlobalKeyboardShortcut(QWidget& view, const Name& name, Registry& shortcuts,
                                                 std::function<void(EventType)> perform) {
    return *new GlobalShortcutListener(view, name, shortcuts, std::move(perform));
}

GlobalShortcutListener& onGlobalKeyboardShortcut(QWidget& view, const Name& name, EventType type,
                                                 Registry& shortcuts, std::function<void()> perform) {
    auto forward = [perform = std::move(perform)](EventType) {
        if (perform)
            perform();
    };
    return *new GlobalShortcutListener(view, name, shortcuts, forward, type);
}

} // namespace corvane::ShortcutKit
