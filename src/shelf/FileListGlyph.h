#pragma once

#include <QString>

class QColor;
class QPainter;
class QRectF;

namespace corvane {

// The line glyphs of the file list's header, search field and empty state, drawn in `tint` into
// the square centred in `box`: "chevron.left", "trash", "open", "float", "unfloat", "xmark",
// "magnifyingglass", "folder" and "tray.and.arrow.down". The filled shelf symbols come from
// drawShelfSymbol.
void drawFileListGlyph(QPainter& painter, const QString& name, const QRectF& box, const QColor& tint);

} // namespace corvane
