#pragma once

#include "runtime/Time.h"

#include <QEasingCurve>
#include <QRect>

#include <functional>

namespace corvane {

class FloatingPanel;

// Runs the fades and moves of floating panels. Behind an interface so that tests end them when
// they choose instead of waiting for them.
class Animator {
public:
    virtual ~Animator() = default;

    // Fades `panel` to `alpha` over `duration`. From this call on, the panel's alphaValue() answers
    // `alpha`; what it shows follows over the duration. `completion`, if given, runs once on a
    // later turn of the main thread when this fade ends, whether it ran its course or a newer fade
    // of the same panel replaced it; it must check that the panel still exists.
    virtual void fade(FloatingPanel& panel, double alpha, Seconds duration,
                      std::function<void()> completion = {}) = 0;
    // Moves `panel` to `frame` over `duration` along `curve`. A move of the same panel still
    // running stops where it is and is replaced.
    virtual void move(FloatingPanel& panel, const QRect& frame, Seconds duration,
                      const QEasingCurve& curve) = 0;
    // Stops a running move of `panel` where it is; nothing when none runs.
    virtual void stopMove(FloatingPanel& panel) = 0;
};

} // namespace corvane
