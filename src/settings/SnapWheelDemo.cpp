#include "settings/SnapWheelDemo.h"

namespace corvane {

const std::array<RadialDirection, 9>& SnapWheelDemo::sequence() {
    static const std::array<RadialDirection, 9> steps{
        RadialDirection::left,     RadialDirection::topLeft,    RadialDirection::top,
        RadialDirection::topRight, RadialDirection::right,      RadialDirection::bottomRight,
        RadialDirection::bottom,   RadialDirection::bottomLeft, RadialDirection::center};
    return steps;
}

SnapWheelDemo::SnapWheelDemo(Scheduler& scheduler) : m_scheduler(scheduler) {}

void SnapWheelDemo::start(const QColor& accent) {
    m_model.setAccent(accent);
    m_model.setAppeared(true);
    m_step = 0;
    m_timer = m_scheduler.scheduleRepeating(Seconds(stepInterval), Seconds(0.05), [this] {
        m_model.setDirection(sequence()[m_step % sequence().size()]);
        ++m_step;
    });
}

void SnapWheelDemo::stop() {
    m_timer.invalidate();
}

} // namespace corvane
