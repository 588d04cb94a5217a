#include "ShortcutKit/LocalEventMonitor.h"

#include <QCoreApplication>

namespace corvane::ShortcutKit {

LocalEventMonitor::LocalEventMonitor(std::set<QEvent::Type> events, Callback callback)
    : m_events(std::move(events)), m_callback(std::move(callback)) {}

LocalEventMonitor::~LocalEventMonitor() {
    stop();
}

LocalEventMonitor& LocalEventMonitor::start() {
    if (m_monitoring)
        return *this;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
        m_monitoring = true;
    }
    return *this;
}

void LocalEventMonitor::stop() {
    if (!m_monitoring)
        return;
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
    m_monitoring = false;
}

bool LocalEventMonitor::eventFilter(QObject* watched, QEvent* event) {
    if (m_monitoring && m_events.count(event->type()) && m_callback)
        return m_callback(watched, event);
    return false;
}

} // namespace corvane::ShortcutKit
