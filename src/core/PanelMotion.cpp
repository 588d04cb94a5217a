#include "core/PanelMotion.h"

#include "core/Animator.h"
#include "core/FloatingPanel.h"

#include <algorithm>
#include <cmath>

namespace corvane {

QEasingCurve PanelMotion::bezier(QPointF c1, QPointF c2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}

PanelMotion::PanelMotion(FloatingPanel& panel, Animator& animator)
    : m_panel(&panel), m_animator(animator), m_target(panel.frame()) {}

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
    const bool slides = m_panel->frame() != frame && ms > 0;
    if (!slides && m_panel->frame() != frame)
        m_panel->setFrame(frame);

    // Two clocks, the slide's and the fade's: without a compositing manager a fade in takes no
    // time while the slide still shows, so the motion ends when both have.
    auto running = std::make_shared<int>(slides ? 2 : 1);
    QPointer<FloatingPanel> panel = m_panel;
    std::weak_ptr<int> alive = m_alive;
    auto finish = [this, alive, panel, generation, running, done = std::move(done)] {
        if (--*running != 0)
            return;
        if (alive.expired() || !panel || generation != m_generation)
            return;
        stopSlide();
        if (panel->frame() != m_target)
            panel->setFrame(m_target);
        if (done)
            done();
    };
    if (slides)
        m_animator.move(*m_panel, frame, duration, curve, finish);
    m_animator.fade(*m_panel, alpha, duration, finish);
}

void PanelMotion::jump(const QRect& frame) {
    ++m_generation;
    stopSlide();
    m_target = frame;
    if (m_panel && m_panel->frame() != frame)
        m_panel->setFrame(frame);
}

} // namespace corvane
