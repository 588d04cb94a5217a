#include "sidebar/MenuTracking.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

namespace corvane {

MenuTracking::MenuTracking(std::function<void()> began, std::function<void()> ended, QObject* parent)
    : QObject(parent), m_began(std::move(began)), m_ended(std::move(ended)) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

MenuTracking::~MenuTracking() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool MenuTracking::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && qobject_cast<QMenu*>(watched)) {
        if (type == QEvent::Show && !m_open.contains(watched)) {
            const bool first = m_open.isEmpty();
            m_open.insert(watched);
            // A menu deleted while open never sends its hide.
            connect(watched, &QObject::destroyed, this, [this, watched] { closed(watched); });
            if (first && m_began)
                m_began();
        } else if (type == QEvent::Hide) {
            closed(watched);
        }
    }
    return QObject::eventFilter(watched, event);
}

void MenuTracking::closed(QObject* menu) {
    if (!m_open.remove(menu))
        return;
    disconnect(menu, &QObject::destroyed, this, nullptr);
    if (m_open.isEmpty() && m_ended)
        m_ended();
}

} // namespace corvane
