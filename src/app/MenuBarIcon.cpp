#include "app/MenuBarIcon.h"

#include "core/TrayPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>

namespace corvane {

namespace {

constexpr double kWidth = 18.0;
constexpr double kHeight = 14.0;

// The mark itself: a rounded frame holding three short bars.
QPainterPath markShape() {
    QPainterPath frame;
    frame.addRoundedRect(QRectF(0.75, 0.75, 16.5, 12.5), 3.0, 3.0);
    QPainterPathStroker stroker;
    stroker.setWidth(1.5);
    QPainterPath shape = stroker.createStroke(frame);
    for (double top : {2.8, 5.9, 9.0}) {
        QPainterPath bar;
        bar.addRoundedRect(QRectF(3.0, top, 4.0, 2.2), 0.8, 0.8);
        shape = shape.united(bar);
    }
    return shape;
}

QPixmap drawAt(int scale) {
    // One logical pixel of room around the mark for its outline.
    QPixmap pixmap(static_cast<int>(kWidth + 2) * scale, static_cast<int>(kHeight + 2) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(1, 1);
    // X trays show the picture as it is, on dark and light panels alike: a light mark with a dark
    // outline stands out on both.
    const QPainterPath shape = markShape();
    painter.setPen(QPen(trayPictureOutline(), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    painter.setPen(Qt::NoPen);
    painter.setBrush(trayPictureFill());
    painter.drawPath(shape);
    return pixmap;
}

} // namespace

QIcon menuBarTemplateImage() {
    static const QIcon icon = [] {
        QIcon built;
        built.addPixmap(drawAt(1));
        built.addPixmap(drawAt(2));
        return built;
    }();
    return icon;
}

} // namespace corvane
