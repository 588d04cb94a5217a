#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

namespace corvane {

// Small pictures for the symbol names the product's messages use ("exclamationmark.triangle.fill",
// "square.stack.3d.up.fill", "arrow.triangle.2.circlepath", "plus.circle.fill",
// "questionmark.circle.fill", "checkmark.circle.fill", "minus.circle.fill", "plus", "minus",
// "chevron.up", "chevron.down", "square.stack.3d.up"), drawn in `tint` on a transparent square
// of `size` logical pixels. Marks inside a filled shape are cut out, so the background shows
// through them. Any other name gives a plain filled circle, so a message never shows a gap.
QPixmap symbolImage(const QString& name, const QColor& tint, int size, qreal devicePixelRatio = 1.0);

bool isKnownSymbol(const QString& name);

} // namespace corvane
