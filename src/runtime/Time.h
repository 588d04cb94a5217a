#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>

namespace corvane {

// Durations are seconds as doubles, the unit every preference and delay in the product uses.
using Seconds = std::chrono::duration<double>;

// A point on the continuous clock: time since an arbitrary origin that never jumps and keeps
// counting while the machine sleeps.
using Instant = std::chrono::nanoseconds;

// Stored preferences are taken without a range check; every value that reaches a timer or a
// sleep passes through here, so a negative or non-finite number can never arm one.
inline Seconds sanitizedDelay(Seconds value, Seconds fallback = Seconds(0)) {
    const double s = value.count();
    if (!std::isfinite(s))
        return fallback;
    return s < 0 ? Seconds(0) : value;
}

// The longest delay a timer on the continuous clock takes: a century. A larger stored value would
// overflow the nanosecond count and come out negative, firing at once (or, for a repeating timer,
// forever).
inline constexpr double maximumDelaySeconds = 100.0 * 365 * 24 * 3600;

inline Instant toInstant(Seconds value) {
    const double s = std::min(sanitizedDelay(value).count(), maximumDelaySeconds);
    return std::chrono::duration_cast<Instant>(Seconds(s));
}

} // namespace corvane
