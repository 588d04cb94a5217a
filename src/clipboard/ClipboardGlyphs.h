#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

namespace corvane {

// The strip's own symbols, drawn at any size: "doc.on.clipboard", "magnifyingglass", "xmark",
// "link" and "clock.arrow.circlepath".
QPixmap clipboardGlyph(const QString& name, const QColor& tint, int size, qreal devicePixelRatio = 1.0);

} // namespace corvane
