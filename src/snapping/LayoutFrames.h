#pragma once

#include "core/LayoutPreset.h"

#include <QRectF>

#include <span>
#include <vector>

namespace corvane {

// The frames, on whole points, of `count` windows tiled by `preset` in `area`, element i being the
// i-th window's (for `mainStack`, the first is the main window). `gap` separates the frames and
// keeps them off the area's edges. One window always gets the whole inset area. Empty when `count`
// is below 1 or the area has no width or no height.
std::vector<QRectF> frames(LayoutPreset preset, int count, const QRectF& area, double gap);

// Weighted columns laid side by side across `area` (already inset by the gap), separated by `gap`:
// as many columns as there are windows, at most one per weight. The windows are spread evenly over
// the columns, the surplus going to the rightmost ones, and each column is split top to bottom into
// equal rows. Frames come column by column, each column top to bottom, on whole points. Empty when
// `count` is below 1 or the used weights do not sum to a positive number.
std::vector<QRectF> splitColumns(std::span<const double> weights, int count, const QRectF& area, double gap);

} // namespace corvane
