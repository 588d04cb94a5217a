#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace corvane {

// The shelf rows' symbols, drawn in `tint` into the square centred in `box`: "folder.fill",
// "tray.fill" and, while files are dragged over the Tray, "tray.and.arrow.down.fill". Any other
// name draws a filled circle.
void drawShelfSymbol(QPainter& painter, const QString& name, const QRectF& box, const QColor& tint);

} // namespace corvane
