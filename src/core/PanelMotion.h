#pragma once

#include "runtime/Time.h"

#include <QEasingCurve>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>

namespace corvane {

class Animator;
class FloatingPanel;

// Slides a panel to a frame while the animator fades it, as one motion. When both have ended, the
// panel stands exactly on its target frame whatever the slide did meanwhile, so a test that ends
// the animations sees final frames. Without a compositing manager a fade in is instant (nothing of
// it would show) and the slide alone is seen. A newer motion or jump replaces the older one, whose
// completion is then dropped.
class PanelMotion {
public:
    PanelMotion(FloatingPanel& panel, Animator& animator);
    ~PanelMotion();
    PanelMotion(const PanelMotion&) = delete;
    PanelMotion& operator=(const PanelMotion&) = delete;

    // Moves to `frame` and fades to `alpha` over `duration`; `done` runs once the motion ends,
    // unless another motion or a jump came first.
    void run(const QRect& frame, double alpha, Seconds duration, const QEasingCurve& curve,
             std::function<void()> done = {});
    // Stops any motion and puts the panel on `frame` at once.
    void jump(const QRect& frame);

    // The frame the panel stands on, or is moving to.
    QRect target() const { return m_target; }

    // A cubic timing curve from (0, 0) to (1, 1) through the control points `c1` and `c2`.
    static QEasingCurve bezier(QPointF c1, QPointF c2);
    // The timing curves of the desktop's standard animations.
    static QEasingCurve easeIn();
    static QEasingCurve easeOut();
    static QEasingCurve easeInEaseOut();
    static QEasingCurve standard();

private:
    void stopSlide();

    QPointer<FloatingPanel> m_panel;
    Animator& m_animator;
    QRect m_target;
    quint64 m_generation = 0;
    // Completions that outlive the motion find this gone and do nothing.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace corvane
