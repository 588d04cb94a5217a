#include "settings/SettingsTabIcon.h"

#include "settings/SettingsSymbol.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace corvane {
namespace {

QPixmap drawIcon(SettingsTab tab, qreal ratio) {
    const int side = settingsTabIconSize;
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF square(0, 0, side, side);
    const QColor base = tint(tab);
    QLinearGradient gradient(square.topLeft(), square.bottomLeft());
    gradient.setColorAt(0, base.lighter(118));
    gradient.setColorAt(1, base);
    QPainterPath shape;
    shape.addRoundedRect(square, 6, 6);
    painter.fillPath(shape, gradient);

    // The symbol takes 11 of the 22 points, as a small semibold glyph would.
    const QRectF glyph(side / 4.0, side / 4.0, side / 2.0, side / 2.0);
    drawSymbol(painter, glyph, symbolName(tab), Qt::white, title(tab));
    return pixmap;
}

} // namespace

QIcon settingsTabIcon(SettingsTab tab) {
    QIcon icon;
    // The same picture in every state: the list must not tint it when the row is selected.
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Selected, QIcon::Active}) {
        icon.addPixmap(drawIcon(tab, 1.0), mode);
        icon.addPixmap(drawIcon(tab, 2.0), mode);
    }
    return icon;
}

} // namespace corvane
