#include "settings/CaptionNumber.h"

#include <cmath>
#include <limits>

namespace corvane {

long long truncatedWholeNumber(double value) {
    using Limits = std::numeric_limits<long long>;
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable as a double; the largest long long is not, so compare against
    // the power of two and let everything from there up saturate.
    constexpr double upperBound = 9223372036854775808.0; // 2^63
    if (value >= upperBound)
        return Limits::max();
    if (value < -upperBound)
        return Limits::min();
    return static_cast<long long>(std::trunc(value));
}

QString wholeNumberCaption(double value, const QString& suffix) {
    return QString::number(truncatedWholeNumber(value)) + suffix;
}

} // namespace corvane
