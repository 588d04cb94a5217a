#include "sidebar/PanelMotion.h"

#include "core/Animator.h"
#include "core/FloatingPanel.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

QEasingCurve bezier(QPointF c1, QPointF c2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}

} // namespace

PanelMotion::PanelMotion(FloatingPanel& panel, Animator& animator)
    : m_panel(&panel), m_animator(animator), m_target(panel.geometry()) {}

PanelMotion::~PanelMotion() {
    stopSlide();
}

QEasingCurve PanelMotion::easeIn() {
    return bezier({0.42, 0}, {1, 1});
}
QEasingCurve PanelMotion::easeOut() {
    return bezier({0, 0}, {0.58, 1});
}
QEasingCurve PanelMotion::easeInEaseOut() {
    return bezier({0.42, 0}, {0.58, 1});
}
QEasingCurve PanelMotion::standard() {
    return bezier({0.25, 0.1}, {0.25, 1});
}

void PanelMotion::stopSlide() {
    if (m_panel)
        m_animator.stopMove(*m_panel);
}

void PanelMotion::run(const QRect& frame, double alpha, Seconds duration, const QEasingCurve& curve,
                      std::function<void()> done) {
    if (!m_panel)
        return;
    stopSlide();
    const quint64 generation = ++m_generation;
    m_target = frame;

    const double ms = std::min(sanitizedDelay(duration).count() * 1000.0, 60'000.0);
    if (m_panel->geometry() != frame) {
        if (ms > 0) {
            m_animator.move(*m_panel, frame, duration, curve);
        } else {
            m_panel->setGeometry(frame);
        }
    }

    QPointer<FloatingPanel> panel = m_panel;
    std::weak_ptr<int> alive = m_alive;
    m_animator.fade(*m_panel, alpha, duration, [this, alive, panel, generation, done = std::move(done)] {
        if (alive.expired() || !panel || generation != m_generation)
            return;
        stopSlide();
        if (panel->geometry() != m_target)
            panel->setGeometry(m_target);
        if (done)
            done();
    });
}

void PanelMotion::jump(const QRect& frame) {
    ++m_generation;
    stopSlide();
    m_target = frame;
    if (m_panel && m_panel->geometry() != frame)
        m_panel->setGeometry(frame);
}

} // namespace corvane
