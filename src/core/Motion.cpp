#include "core/Motion.h"

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane {

namespace {
constexpr double settledWithin = 0.001;
} // namespace

Motion Motion::spring(double response, double damping) {
    Motion motion;
    motion.m_isSpring = true;
    motion.m_response = std::max(response, 0.01);
    motion.m_damping = std::clamp(damping, 0.05, 1.0);
    const double omega = 2 * std::numbers::pi / motion.m_response;
    // The envelope e^(-damping·omega·t) bounds the distance left; a critical spring carries an
    // extra factor (1 + omega·t), covered by settling a little later.
    const double decay = motion.m_damping * omega;
    const double settle = std::log(1 / settledWithin) / decay * (motion.m_damping >= 1 ? 1.5 : 1.0);
    motion.m_duration = Seconds(settle);
    return motion;
}

Motion Motion::easeOut(Seconds duration) {
    Motion motion;
    motion.m_duration = std::max(duration, Seconds(0));
    motion.m_curve = QEasingCurve(QEasingCurve::BezierSpline);
    motion.m_curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    return motion;
}

double Motion::progressAt(Seconds elapsed) const {
    const double t = elapsed.count();
    if (t >= m_duration.count())
        return 1;
    if (t <= 0)
        return 0;
    if (!m_isSpring)
        return m_curve.valueForProgress(t / m_duration.count());
    const double omega = 2 * std::numbers::pi / m_response;
    if (m_damping >= 1)
        return 1 - std::exp(-omega * t) * (1 + omega * t);
    const double decay = m_damping * omega;
    const double ringing = omega * std::sqrt(1 - m_damping * m_damping);
    return 1 - std::exp(-decay * t) * (std::cos(ringing * t) + decay / ringing * std::sin(ringing * t));
}

QVariant valueBetween(const QVariant& from, const QVariant& to, double progress) {
    if (to.typeId() == QMetaType::QPoint) {
        const QPointF a = from.toPoint();
        const QPointF b = to.toPoint();
        return (a + (b - a) * progress).toPoint();
    }
    const double a = from.toDouble();
    return a + (to.toDouble() - a) * progress;
}

} // namespace corvane
