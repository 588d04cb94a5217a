#pragma once

#include <QEvent>
#include <QObject>

#include <functional>
#include <set>

namespace corvane::ShortcutKit {

// Watches the events of some types that the application delivers to its own objects, through
// an application event filter. The callback answers true to swallow an event, false to let it
// go on. Idle until started; stopped when destroyed. Main thread only.
class LocalEventMonitor final : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<bool(QObject* receiver, QEvent* event)>;

    LocalEventMonitor(std::set<QEvent::Type> events, Callback callback);
    ~LocalEventMonitor() override;

    // Installs the filter; a second start while monitoring does nothing.
    LocalEventMonitor& start();
    void stop();
    bool isMonitoring() const { return m_monitoring; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::set<QEvent::Type> m_events;
    Callback m_callback;
    bool m_monitoring = false;
};

} // namespace corvane::ShortcutKit
