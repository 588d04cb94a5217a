#pragma once

#include "core/Motion.h"
#include "runtime/Time.h"

#include <QByteArray>
#include <QEasingCurve>
#include <QObject>
#include <QRect>
#include <QVariant>

#include <functional>

namespace corvane {

class FloatingPanel;

// Runs the fades and moves of floating panels, and the motion of widget properties. Behind an interface so
// that tests end them when they choose instead of waiting for them.
class Animator {
public:
    virtual ~Animator() = default;

    // Fades `panel` to `alpha` over `duration`; a fade in is instant where the panel cannot show
    // opacity (no compositing manager; see `FloatingPanel::fadeDuration`). From this call on, the panel's
    // alphaValue() answers `alpha`; what it shows follows over the duration. `completion`, if given, runs
    // once on a later turn of the main thread when this fade ends, whether it ran its course or a newer fade
    // of the same panel replaced it; it must check that the panel still exists.
    virtual void fade(FloatingPanel& panel, double alpha, Seconds duration,
                      std::function<void()> completion = {}) = 0;
    // Moves `panel` to `frame` over `duration` along `curve`. A move of the same panel still
    // running stops where it is and is replaced. `completion`, if given, runs once on a later turn
    // of the main thread when this move ends, ran its course or not; it must check that the panel
    // still exists.
    virtual void move(FloatingPanel& panel, const QRect& frame, Seconds duration, const QEasingCurve& curve,
                      std::function<void()> completion = {}) = 0;
    // Stops a running move of `panel` where it is; nothing when none runs.
    virtual void stopMove(FloatingPanel& panel) = 0;

    // Carries the property `property` of `target` (a double or a QPoint) from its value now to
    // `value` along `motion`. A running motion of the same property is replaced, the new one
    // starting from where the property stands. `completion`, if given, runs once on a later turn
    // of the main thread when the motion ends or is replaced; it must check that `target` still
    // exists.
    virtual void animate(QObject& target, const QByteArray& property, const QVariant& value,
                         const Motion& motion, std::function<void()> completion = {}) = 0;
};

// Carries `property` of `target` to `value` through `animator`, or sets it at once without one.
inline void animateOrSet(Animator* animator, QObject& target, const char* property, double value,
                         const Motion& motion) {
    if (animator)
        animator->animate(target, QByteArray(property), value, motion);
    else
        target.setProperty(property, value);
}

} // namespace corvane
