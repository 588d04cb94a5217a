#include "snapping/LayoutFrames.h"

#include "snapping/FrameMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace corvane {

namespace {

constexpr std::array<double, 2> kHalvesWeights{0.5, 0.5};
constexpr std::array<double, 2> kSixtyFortyWeights{0.6, 0.4};
constexpr std::array<double, 3> kThirdsWeights{1.0, 1.0, 1.0};

void roundAll(std::vector<QRectF>& rects) {
    for (QRectF& rect : rects)
        rect = integralRect(rect);
}

// The smallest c with c * c >= count: ceil(sqrt(count)) without trusting floating point.
int gridColumns(int count) {
    auto columns = static_cast<int64_t>(std::sqrt(static_cast<double>(count)));
    while (columns * columns < count)
        ++columns;
    while (columns > 1 && (columns - 1) * (columns - 1) >= count)
        --columns;
    return static_cast<int>(columns);
}

std::vector<QRectF> mainStack(int count, const QRectF& inner, double gap) {
    const double available = std::max(0.0, inner.width() - gap);
    std::vector<QRectF> result;
    result.reserve(static_cast<std::size_t>(count));
    result.emplace_back(inner.x(), inner.y(), 0.6 * available, inner.height());
    const QRectF stack(inner.x() + 0.6 * available + gap, inner.y(), 0.4 * available, inner.height());
    appendEqualSplit(result, stack, count - 1, gap, Qt::Vertical);
    roundAll(result);
    return result;
}

std::vector<QRectF> grid(int count, const QRectF& inner, double gap) {
    const int columns = gridColumns(count);
    const int rows = (count + columns - 1) / columns;
    std::vector<QRectF> rowRects;
    appendEqualSplit(rowRects, inner, rows, gap, Qt::Vertical);

    std::vector<QRectF> result;
    result.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < rows; ++i) {
        // A short last row has fewer, wider cells.
        const int cells = std::min(columns, count - i * columns);
        appendEqualSplit(result, rowRects[static_cast<std::size_t>(i)], cells, gap, Qt::Horizontal);
    }
    roundAll(result);
    return result;
}

} // namespace

std::vector<QRectF> splitColumns(std::span<const double> weights, int count, const QRectF& area, double gap) {
    const int columns =
        static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), weights.size()));
    if (columns < 1)
        return {};
    const auto used = weights.first(static_cast<std::size_t>(columns));
    double sum = 0;
    for (double weight : used)
        sum += weight;
    if (!(sum > 0) || !std::isfinite(sum))
        return {};

    const double g = clampedGap(gap);
    const QRectF a = sanitizedArea(area);
    const double available = std::max(0.0, a.width() - g * (columns - 1));
    const int perColumn = count / columns;
    const int surplus = count % columns;

    std::vector<QRectF> result;
    result.reserve(static_cast<std::size_t>(count));
    double x = a.x();
    for (int i = 0; i < columns; ++i) {
        // A weight below zero next to positive ones still gives a column, just an empty one.
        const double width = std::max(0.0, available * used[static_cast<std::size_t>(i)] / sum);
        const int windows = perColumn + (i >= columns - surplus ? 1 : 0);
        appendEqualSplit(result, QRectF(x, a.y(), width, a.height()), windows, g, Qt::Vertical);
        x += width + g;
    }
    roundAll(result);
    return result;
}

std::vector<QRectF> frames(LayoutPreset preset, int count, const QRectF& area, double gap) {
    const auto hasSize = [](double size) { return std::isfinite(size) && size > 0; };
    if (count < 1 || !hasSize(area.width()) || !hasSize(area.height()))
        return {};

    const double g = clampedGap(gap);
    const QRectF inner = insetByGap(area, g);
    if (count == 1)
        return {integralRect(inner)};

    switch (preset) {
    case LayoutPreset::halves:
        return splitColumns(kHalvesWeights, count, inner, g);
    case LayoutPreset::sixtyForty:
        return splitColumns(kSixtyFortyWeights, count, inner, g);
    case LayoutPreset::thirds:
        return splitColumns(kThirdsWeights, count, inner, g);
    case LayoutPreset::mainStack:
        return mainStack(count, inner, g);
    case LayoutPreset::grid:
        return grid(count, inner, g);
    case LayoutPreset::maximize:
        return std::vector<QRectF>(static_cast<std::size_t>(count), integralRect(inner));
    }
    return {};
}

} // namespace corvane
