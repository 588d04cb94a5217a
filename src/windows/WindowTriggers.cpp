#include "platform/RunningApplications.h"
#include "windows/WindowService.h"

#include <QPointer>

namespace corvane {

void WindowService::installAppObservers() {
    if (!m_observers.empty())
        return;
    RunningApplications* running = &m_running;
    const auto forced = [this] { handleAppNotification(std::nullopt); };
    m_observers.push_back(
        connect(running, &RunningApplications::applicationLaunched, this, [this](int32_t pid) {
            // A window may have been listed before its program was known: what was found of the pid
            // then (nothing) is looked up again.
            if (const auto it = m_apps.find(pid); it != m_apps.end() && !it->second.bundleID)
                m_apps.erase(it);
            handleAppNotification(std::nullopt);
        }));
    m_observers.push_back(connect(running, &RunningApplications::applicationTerminated, this,
                                  [this](int32_t pid) { handleAppNotification(pid); }));
    m_observers.push_back(connect(running, &RunningApplications::applicationActivated, this, forced));
    m_observers.push_back(connect(running, &RunningApplications::applicationHidden, this, forced));
    m_observers.push_back(connect(running, &RunningApplications::applicationUnhidden, this, forced));
    m_observers.push_back(connect(running, &RunningApplications::activeSpaceChanged, this, forced));
}

void WindowService::handleAppNotification(std::optional<int32_t> terminatedPID) {
    if (terminatedPID) {
        // A later program may get the same pid; it must be looked up afresh.
        m_apps.erase(*terminatedPID);
        Q_EMIT applicationTerminated(*terminatedPID);
    }
    refresh(true);
}

void WindowService::startWindowTimer(bool on) {
    if (!on) {
        m_timer.invalidate();
        return;
    }
    if (m_timer.isValid())
        return;
    QPointer<WindowService> self(this);
    m_timer = m_scheduler.scheduleRepeating(Seconds(1.0), Seconds(0.2), [self] {
        if (self)
            self->timerTick();
    });
    refresh(true);
}

void WindowService::timerTick() {
    refresh(false);
}

} // namespace corvane
