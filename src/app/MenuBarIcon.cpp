#include "app/MenuBarIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace corvane {

namespace {

constexpr double kWidth = 18.0;
constexpr double kHeight = 14.0;

QPixmap drawAt(int scale) {
    QPixmap pixmap(static_cast<int>(kWidth) * scale, static_cast<int>(kHeight) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    // The frame's stroke is centred on its rectangle, so the 1.5-wide line ends flush with the
    // picture's edges.
    QPen pen(Qt::black, 1.5);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(0.75, 0.75, 16.5, 12.5), 3.0, 3.0);

    // Three bars, top to bottom.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (double top : {2.8, 5.9, 9.0})
        painter.drawRoundedRect(QRectF(3.0, top, 4.0, 2.2), 0.8, 0.8);
    return pixmap;
}

} // namespace

QIcon menuBarTemplateImage() {
    static const QIcon icon = [] {
        QIcon built;
        built.addPixmap(drawAt(1));
        built.addPixmap(drawAt(2));
        built.setIsMask(true);
        return built;
    }();
    return icon;
}

} // namespace corvane
