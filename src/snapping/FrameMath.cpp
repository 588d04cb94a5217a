#include "snapping/FrameMath.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

double sanitizedSize(double size) {
    return std::isfinite(size) && size > 0 ? size : 0.0;
}

} // namespace

double clampedGap(double gap) {
    return std::isfinite(gap) && gap > 0 ? gap : 0.0;
}

double clampedLength(double length, double limit) {
    if (!(length > 0))
        return 0.0; // also NaN
    return std::min(length, std::max(limit, 0.0));
}

QRectF sanitizedArea(const QRectF& area) {
    return {area.x(), area.y(), sanitizedSize(area.width()), sanitizedSize(area.height())};
}

QRectF insetByGap(const QRectF& area, double gap) {
    const QRectF a = sanitizedArea(area);
    const double g = clampedGap(gap);
    double x = a.x() + g;
    double width = a.width() - 2 * g;
    if (width < 0) {
        x = a.x() + a.width() / 2;
        width = 0;
    }
    double y = a.y() + g;
    double height = a.height() - 2 * g;
    if (height < 0) {
        y = a.y() + a.height() / 2;
        height = 0;
    }
    return {x, y, width, height};
}

// Sums of split widths carry floating-point noise (790.0000000001); rounding that outward would
// push a window one point past its area. Values that are whole but for the noise count as whole.
static double wholeIfNearlyWhole(double value) {
    const double nearest = std::round(value);
    return std::abs(value - nearest) < 1e-6 ? nearest : value;
}

QRectF integralRect(const QRectF& rect) {
    const double left = std::floor(wholeIfNearlyWhole(rect.x()));
    const double top = std::floor(wholeIfNearlyWhole(rect.y()));
    const double right = std::ceil(wholeIfNearlyWhole(rect.x() + rect.width()));
    const double bottom = std::ceil(wholeIfNearlyWhole(rect.y() + rect.height()));
    return {left, top, right - left, bottom - top};
}

void appendEqualSplit(std::vector<QRectF>& out, const QRectF& rect, int parts, double gap,
                      Qt::Orientation orientation) {
    if (parts < 1)
        return;
    const bool vertical = orientation == Qt::Vertical;
    const double length = vertical ? rect.height() : rect.width();
    const double available = std::max(0.0, length - gap * (parts - 1));
    const double piece = available / parts;
    double position = vertical ? rect.y() : rect.x();
    for (int i = 0; i < parts; ++i) {
        if (vertical)
            out.emplace_back(rect.x(), position, rect.width(), piece);
        else
            out.emplace_back(position, rect.y(), piece, rect.height());
        position += piece + gap;
    }
}

} // namespace corvane
