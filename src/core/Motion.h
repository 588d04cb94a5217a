#pragma once

#include "runtime/Time.h"

#include <QEasingCurve>
#include <QVariant>

namespace corvane {

// How a property of a widget travels to a new value: a spring that settles on its own time, or a
// curve over a fixed duration. Both give a progress from 0 (where the property was) to 1 (its
// target); a spring may pass 1 on the way.
class Motion {
public:
    // A critically or under-damped spring starting at rest: `response` is the period, in seconds,
    // of the undamped oscillation; `damping` the fraction of critical damping (0 < damping <= 1).
    static Motion spring(double response, double damping);
    // The standard ease-out curve over `duration`.
    static Motion easeOut(Seconds duration);

    // How long the motion runs: a spring until it stays within a thousandth of its target.
    Seconds duration() const { return m_duration; }
    // The progress at `elapsed` seconds from the start; exactly 1 from the end on.
    double progressAt(Seconds elapsed) const;

private:
    Motion() = default;

    bool m_isSpring = false;
    double m_response = 0;
    double m_damping = 1;
    Seconds m_duration{0};
    QEasingCurve m_curve;
};

// The value `progress` of the way from `from` to `to`, both doubles or both QPoints.
QVariant valueBetween(const QVariant& from, const QVariant& to, double progress);

} // namespace corvane
