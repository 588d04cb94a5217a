#pragma once

#include <cmath>
#include <numbers>

namespace corvane::testing {

// The curves motions must follow, worked out here independently of the product's own code.

// A cubic timing curve through (0, 0), `c1`, `c2` and (1, 1): its value at time fraction `t`.
inline double cubicBezier(double x1, double y1, double x2, double y2, double t) {
    const auto at = [](double a, double b, double s) {
        return 3 * a * s * (1 - s) * (1 - s) + 3 * b * s * s * (1 - s) + s * s * s;
    };
    double lo = 0, hi = 1;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (at(x1, x2, mid) < t ? lo : hi) = mid;
    }
    return at(y1, y2, (lo + hi) / 2);
}

// The standard ease-out at time fraction `t`.
inline double easeOut(double t) {
    return cubicBezier(0, 0, 0.58, 1, t);
}

// A spring from rest at 0 towards 1, by its period `response` and damping fraction, at `t` s.
inline double spring(double response, double damping, double t) {
    const double omega = 2 * std::numbers::pi / response;
    const double decay = damping * omega;
    const double ringing = omega * std::sqrt(1 - damping * damping);
    return 1 - std::exp(-decay * t) * (std::cos(ringing * t) + decay / ringing * std::sin(ringing * t));
}

} // namespace corvane::testing
