#include "snapping/SpringValue.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane {

SpringValue::SpringValue(double response, double dampingFraction, double precision, double value)
    : m_precision(precision), m_value(value), m_target(value) {
    const double omega = 2 * std::numbers::pi / response;
    m_stiffness = omega * omega;
    m_damping = 2 * dampingFraction * omega;
}

void SpringValue::jumpTo(double value) {
    m_value = m_target = value;
    m_velocity = 0;
}

void SpringValue::advance(double seconds) {
    if (isSettled() || !(seconds > 0))
        return;
    // Small fixed steps keep the integration stable however late a frame comes.
    constexpr double step = 0.001;
    for (double left = std::min(seconds, 1.0); left > 0; left -= step) {
        const double dt = std::min(step, left);
        const double acceleration = -m_stiffness * (m_value - m_target) - m_damping * m_velocity;
        m_velocity += acceleration * dt;
        m_value += m_velocity * dt;
    }
    if (std::abs(m_value - m_target) < m_precision && std::abs(m_velocity) < m_precision * 10)
        jumpTo(m_target);
}

} // namespace corvane
