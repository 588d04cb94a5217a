#include "runtime/SaveRetry.h"

namespace corvane {

SaveRetry::SaveRetry(Scheduler& scheduler, std::function<void()> retry)
    : m_scheduler(scheduler), m_retry(std::move(retry)) {}

bool SaveRetry::failed() {
    const bool first = !m_failing;
    m_failing = true;
    if (!m_timer.isValid())
        m_timer = m_scheduler.schedule(interval, [this] { m_retry(); });
    return first;
}

bool SaveRetry::landed() {
    const bool wasFailing = m_failing;
    reset();
    return wasFailing;
}

void SaveRetry::reset() {
    m_timer.invalidate();
    m_failing = false;
}

} // namespace corvane
