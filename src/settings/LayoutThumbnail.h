#pragma once

#include "core/LayoutPreset.h"

#include <QColor>
#include <QRectF>

#include <vector>

class QPainter;

namespace corvane {

// The small diagram of a tiling preset: the windows the frame engine places, the main one in the
// brand colour, the others in grey, on a faint screen of 96 by 60 points.
namespace LayoutThumbnail {

constexpr double width = 96;
constexpr double height = 60;

// The frames drawn for `count` windows (four for the grid), in diagram coordinates.
std::vector<QRectF> frames(LayoutPreset preset, int count);
// Draws the diagram with its top-left corner at `origin`.
void draw(QPainter& painter, QPointF origin, LayoutPreset preset, int count, const QColor& text);

} // namespace LayoutThumbnail
} // namespace corvane
