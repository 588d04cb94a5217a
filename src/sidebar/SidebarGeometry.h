#pragma once

#include "core/SettingsEnums.h"

#include <QPointF>
#include <QRect>
#include <QRectF>

namespace corvane {

// Where the strip stands and which pointer positions reveal or keep it, in screen coordinates.
namespace SidebarGeometry {

// Between the strip and the screen's edge.
inline constexpr double edgeInset = 8;
// The strip never grows taller than this share of the visible frame.
inline constexpr double maximumHeightShare = 0.9;

// The strip's frame on a screen: `width` wide, its natural height capped to the visible frame,
// `edgeInset` from the edge, centred vertically, on whole points.
QRect stripFrame(const QRectF& visibleFrame, double width, double naturalHeight, SidebarEdge edge);
// The frame slid 70 % of its width off towards its edge; the strip fades meanwhile, so the part
// that stays on screen is never seen.
QRect hiddenFrame(const QRect& frame, SidebarEdge edge);
// Whether the pointer touches the screen's edge where the strip hides: the outermost few points,
// and one beyond, anywhere between the screen's top and bottom (all bounds included).
bool isAtEdge(QPointF point, const QRectF& screenFrame, SidebarEdge edge);
// Where the pointer keeps a revealed strip up: a margin around it and, while the hover card shows
// beside it, the band level with the strip that the card stands in.
QRectF keepZone(const QRectF& stripFrame, bool previewVisible);

} // namespace SidebarGeometry

} // namespace corvane
