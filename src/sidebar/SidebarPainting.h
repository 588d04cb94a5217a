#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRectF>

class QPainter;
class QWidget;

namespace corvane {

// Small drawing helpers shared by the strip's views.
namespace SidebarPainting {

QColor withAlpha(QColor color, double alpha);
// The colour `t` of the way from `from` to `to` (t clamped to 0..1), alpha included.
QColor mixed(const QColor& from, const QColor& to, double t);
// The palette's text colour, and the same subdued for secondary text.
QColor primary(const QWidget& widget);
QColor secondary(const QWidget& widget);
// A soft shadow under a rounded rectangle: black at `opacity`, blurred over about `radius`.
void drawShadow(QPainter& painter, const QRectF& rect, double cornerRadius, double opacity, double radius,
                QPointF offset);
// The same shadow, drawn once into a picture kept in Qt's pixmap cache and reused while its look
// (size, sub-pixel place, scale, pixel ratio and the parameters) stays the same. Drawn directly
// where the painter rotates or shears.
void drawCachedShadow(QPainter& painter, const QRectF& rect, double cornerRadius, double opacity,
                      double radius, QPointF offset);
// Scales every pixel's colour saturation by `factor` (0 grey, 1 unchanged).
void adjustSaturation(QImage& image, double factor);
// A rounded rectangle stroked inside its edge.
void strokeInside(QPainter& painter, const QRectF& rect, double cornerRadius, const QColor& color,
                  double width);

} // namespace SidebarPainting

} // namespace corvane
