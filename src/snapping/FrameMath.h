#pragma once

#include <QRectF>

#include <vector>

namespace corvane {

// The arithmetic every frame engine shares: a sanitised gap, the area inset by it, equal splits
// separated by it, and rounding outward to whole points.
//
// Degenerate input never yields a negative or NaN size: a negative, NaN or infinite gap counts as
// 0; an area whose width or height is negative, NaN or infinite counts as empty in that dimension;
// a gap wider than half the area collapses the inset area onto the area's middle line (width or
// height 0) rather than turning it inside out.

// The gap to use: `gap` when it is a finite number >= 0, else 0.
double clampedGap(double gap);

// `length` limited to [0, limit]; NaN gives 0.
double clampedLength(double length, double limit);

// `area` with a negative or non-finite width or height replaced by 0.
QRectF sanitizedArea(const QRectF& area);

// The area moved in by `gap` on all four sides: origin + gap, width and height - 2 x gap.
QRectF insetByGap(const QRectF& area, double gap);

// The smallest rectangle on whole points that contains `rect`: origin floored, far edges ceiled.
QRectF integralRect(const QRectF& rect);

// Splits `rect` into `parts` equal pieces separated by `gap`, top to bottom (Qt::Vertical) or left
// to right (Qt::Horizontal), and appends them unrounded. Each piece spans the other dimension fully.
void appendEqualSplit(std::vector<QRectF>& out, const QRectF& rect, int parts, double gap,
                      Qt::Orientation orientation);

} // namespace corvane
