#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace corvane {

// Draws the named picture in `colour`, centred in `rect`: the icon theme's counterpart of the
// name where it has one, else the product's own picture; for names neither covers, the first
// letter of `fallbackText` stands in, so a row never shows an anonymous dot.
void drawSymbol(QPainter& painter, const QRectF& rect, const QString& symbol, const QColor& colour,
                const QString& fallbackText);

} // namespace corvane
