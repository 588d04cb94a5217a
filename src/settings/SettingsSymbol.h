#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace corvane {

// Draws the named picture in `colour`, centred in `rect`. The product's own picture set covers
// only some names; for the others the first letter of `fallbackText` stands in, so a row never
// shows an anonymous dot.
void drawSymbol(QPainter& painter, const QRectF& rect, const QString& symbol, const QColor& colour,
                const QString& fallbackText);

} // namespace corvane
