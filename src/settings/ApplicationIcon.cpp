#include "settings/ApplicationIcon.h"

#include "core/Colors.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace corvane {

QPixmap applicationIcon(int side, qreal ratio) {
    const QIcon installed = QApplication::windowIcon();
    if (!installed.isNull())
        return installed.pixmap(QSize(side, side), ratio);

    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, side, side), side * 0.22, side * 0.22);
    painter.fillPath(shape, brandColor());

    // The status picture's motif, drawn large: a rounded frame holding three short bars.
    const QRectF frame(side * 0.25, side * 0.3, side * 0.5, side * 0.4);
    painter.setPen(QPen(Qt::white, side * 0.05));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame, side * 0.07, side * 0.07);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const double barHeight = frame.height() * 0.14;
    for (int i = 0; i < 3; ++i) {
        const double y = frame.top() + frame.height() * (0.22 + 0.22 * i);
        painter.drawRoundedRect(
            QRectF(frame.left() + frame.width() * 0.14, y, frame.width() * 0.3, barHeight), barHeight / 2,
            barHeight / 2);
    }
    return pixmap;
}

} // namespace corvane
