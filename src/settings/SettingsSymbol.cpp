#include "settings/SettingsSymbol.h"

#include "core/SymbolImage.h"
#include "core/ThemeSymbols.h"

#include <QFont>
#include <QPainter>

#include <cmath>

namespace corvane {

void drawSymbol(QPainter& painter, const QRectF& rect, const QString& symbol, const QColor& colour,
                const QString& fallbackText) {
    const int side = static_cast<int>(std::floor(std::min(rect.width(), rect.height())));
    if (side <= 0)
        return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    // The desktop's icon theme first, so the pages look like the desktop's own; then the
    // product's own pictures.
    QPixmap picture = themeSymbolImage(symbol, colour, side, ratio);
    if (picture.isNull() && isKnownSymbol(symbol))
        picture = symbolImage(symbol, colour, side, ratio);
    if (!picture.isNull()) {
        const QSizeF size = QSizeF(picture.size()) / picture.devicePixelRatioF();
        painter.drawPixmap(
            QPointF(rect.center().x() - size.width() / 2, rect.center().y() - size.height() / 2), picture);
        return;
    }
    const QString letter = fallbackText.trimmed().left(1).toUpper();
    if (letter.isEmpty())
        return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(side);
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignCenter, letter);
    painter.restore();
}

} // namespace corvane
