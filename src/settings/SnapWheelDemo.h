#pragma once

#include "runtime/Scheduler.h"
#include "snapping/RadialModel.h"

#include <array>

namespace corvane {

// The snap wheel the settings page shows: a model of its own (never the real wheel's) that steps
// through every direction, a clockwise sweep from the left and then the centre, one step each
// 0.7 seconds while it runs.
class SnapWheelDemo {
public:
    static constexpr double stepInterval = 0.7;
    static const std::array<RadialDirection, 9>& sequence();

    explicit SnapWheelDemo(Scheduler& scheduler);

    RadialModel& model() { return m_model; }
    bool isRunning() const { return m_timer.isValid(); }

    // Starts again from the left in `accent`, replacing a running sweep; the ring keeps showing
    // what it showed until the first step.
    void start(const QColor& accent);
    // Stops the sweep; the ring keeps its last direction.
    void stop();

private:
    Scheduler& m_scheduler;
    RadialModel m_model;
    TimerHandle m_timer;
    size_t m_step = 0;
};

} // namespace corvane
