#include "snapping/SnapAction.h"

#include "snapping/FrameMath.h"

#include <cmath>

namespace corvane {

namespace {

// How far, in points, a window may sit from a cycle step's frame and still count as at that step.
constexpr double kCycleTolerance = 6.0;

QRectF unroundedFrame(SnapAction action, const QRectF& area, double gap,
                      const std::optional<QRectF>& current) {
    const double g = clampedGap(gap);
    const QRectF outer = sanitizedArea(area);
    const QRectF inner = insetByGap(outer, g);
    const double x = inner.x();
    const double y = inner.y();
    const double w = inner.width();
    const double h = inner.height();
    const double maxX = x + w;
    const double maxY = y + h;

    // Clamped to the inset area so that a gap wider than the area gives empty frames, never
    // negative ones; for any area wider than the gap the clamps change nothing.
    const double halfW = clampedLength((w - g) * 0.5, w);
    const double halfH = clampedLength((h - g) * 0.5, h);
    const double third = clampedLength((w - 2 * g) / 3, w);
    const double twoThirds = clampedLength(g + 2 * third, w);

    switch (action) {
    case SnapAction::leftHalf:
        return {x, y, halfW, h};
    case SnapAction::rightHalf:
        return {maxX - halfW, y, halfW, h};
    case SnapAction::topHalf:
        return {x, y, w, halfH};
    case SnapAction::bottomHalf:
        return {x, maxY - halfH, w, halfH};
    case SnapAction::topLeft:
        return {x, y, halfW, halfH};
    case SnapAction::topRight:
        return {maxX - halfW, y, halfW, halfH};
    case SnapAction::bottomLeft:
        return {x, maxY - halfH, halfW, halfH};
    case SnapAction::bottomRight:
        return {maxX - halfW, maxY - halfH, halfW, halfH};
    case SnapAction::leftThird:
        return {x, y, third, h};
    case SnapAction::centerThird:
        return {x + third + g, y, third, h};
    case SnapAction::rightThird:
        return {maxX - third, y, third, h};
    case SnapAction::leftTwoThirds:
        return {x, y, twoThirds, h};
    case SnapAction::rightTwoThirds:
        return {maxX - twoThirds, y, twoThirds, h};
    case SnapAction::maximize:
        return inner;
    case SnapAction::almostMaximize: {
        const QPointF mid = outer.center();
        return {mid.x() - 0.45 * outer.width(), mid.y() - 0.45 * outer.height(), 0.9 * outer.width(),
                0.9 * outer.height()};
    }
    case SnapAction::center: {
        const QPointF mid = outer.center();
        const double width = clampedLength(current ? current->width() : 0.6 * outer.width(), w);
        const double height = clampedLength(current ? current->height() : 0.7 * outer.height(), h);
        return {mid.x() - width / 2, mid.y() - height / 2, width, height};
    }
    }
    return inner;
}

} // namespace

QRectF frame(SnapAction action, const QRectF& area, double gap, std::optional<QRectF> current) {
    return integralRect(unroundedFrame(action, area, gap, current));
}

bool matchesWithinTolerance(const QRectF& a, const QRectF& b) {
    // Written as `<=` so that a NaN difference never matches.
    return std::abs(a.x() - b.x()) <= kCycleTolerance && std::abs(a.y() - b.y()) <= kCycleTolerance &&
           std::abs(a.width() - b.width()) <= kCycleTolerance &&
           std::abs(a.height() - b.height()) <= kCycleTolerance;
}

SnapAction cycled(SnapAction action, std::optional<QRectF> current, const QRectF& area, double gap) {
    if (!current)
        return action;

    std::array<SnapAction, 3> steps{};
    if (action == SnapAction::leftHalf)
        steps = {SnapAction::leftHalf, SnapAction::leftTwoThirds, SnapAction::leftThird};
    else if (action == SnapAction::rightHalf)
        steps = {SnapAction::rightHalf, SnapAction::rightTwoThirds, SnapAction::rightThird};
    else
        return action;

    const QRectF present = current->normalized();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (matchesWithinTolerance(frame(steps[i], area, gap), present))
            return steps[(i + 1) % steps.size()];
    }
    return action;
}

} // namespace corvane
