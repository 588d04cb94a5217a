#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace corvane {

// The strip's small pictograms, drawn as vectors into `box` in `color`: "pin.fill",
// "arrow.down.right.and.arrow.up.left" (minimised), "eye.slash" (hidden), "plus",
// "gearshape.fill", "macwindow.on.rectangle" (no windows) and "arrow.up.left.and.arrow.down.right"
// (a full-screen desktop). Any other name draws a small dot.
void drawSidebarSymbol(QPainter& painter, const QString& name, const QRectF& box, const QColor& color);

} // namespace corvane
