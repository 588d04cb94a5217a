#pragma once

#include "runtime/Scheduler.h"

#include <QElapsedTimer>

namespace corvane {

// The real scheduler: Qt timers on the main thread's event loop, the monotonic clock for `now`.
class QtScheduler final : public Scheduler {
public:
    QtScheduler();
    Instant now() const override;
    QDateTime wallNow() const override;
    TimerHandle schedule(Seconds delay, std::function<void()> fn) override;
    TimerHandle scheduleRepeating(Seconds interval, Seconds tolerance, std::function<void()> fn) override;

private:
    QElapsedTimer m_clock;
};

} // namespace corvane
