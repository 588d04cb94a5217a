#include "clipboard/ClipboardGlyphs.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace corvane {

namespace {

QPen line(const QColor& tint, double width) {
    return QPen(tint, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void clipboard(QPainter& p, const QColor& tint) {
    p.setPen(line(tint, 0.07));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.18, 0.14, 0.64, 0.8), 0.08, 0.08);
    p.setBrush(tint);
    p.drawRoundedRect(QRectF(0.35, 0.06, 0.3, 0.14), 0.04, 0.04);
    for (double y : {0.42, 0.57, 0.72})
        p.drawLine(QPointF(0.32, y), QPointF(0.68, y));
}

void magnifier(QPainter& p, const QColor& tint) {
    p.setPen(line(tint, 0.11));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0.42, 0.42), 0.28, 0.28);
    p.drawLine(QPointF(0.63, 0.63), QPointF(0.9, 0.9));
}

void cross(QPainter& p, const QColor& tint) {
    p.setPen(line(tint, 0.14));
    p.drawLine(QPointF(0.2, 0.2), QPointF(0.8, 0.8));
    p.drawLine(QPointF(0.8, 0.2), QPointF(0.2, 0.8));
}

void chain(QPainter& p, const QColor& tint) {
    p.setPen(line(tint, 0.09));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.translate(0.5, 0.5);
    p.rotate(-45);
    p.drawRoundedRect(QRectF(-0.42, -0.13, 0.46, 0.26), 0.13, 0.13);
    p.drawRoundedRect(QRectF(-0.04, -0.13, 0.46, 0.26), 0.13, 0.13);
    p.restore();
}

void history(QPainter& p, const QColor& tint) {
    p.setPen(line(tint, 0.08));
    p.setBrush(Qt::NoBrush);
    const QRectF dial(0.12, 0.12, 0.76, 0.76);
    p.drawArc(dial, 200 * 16, -310 * 16);
    p.drawLine(QPointF(0.5, 0.3), QPointF(0.5, 0.52));
    p.drawLine(QPointF(0.5, 0.52), QPointF(0.64, 0.62));
    QPainterPath head;
    head.moveTo(0.04, 0.5);
    head.lineTo(0.2, 0.5);
    head.lineTo(0.12, 0.64);
    head.closeSubpath();
    p.setBrush(tint);
    p.drawPath(head);
}

} // namespace

QPixmap clipboardGlyph(const QString& name, const QColor& tint, int size, qreal devicePixelRatio) {
    if (size <= 0)
        return {};
    const qreal ratio = devicePixelRatio > 0 && std::isfinite(devicePixelRatio) ? devicePixelRatio : 1.0;
    const int pixels = static_cast<int>(std::ceil(size * ratio));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(pixels, pixels);
        if (name == QLatin1String("magnifyingglass"))
            magnifier(painter, tint);
        else if (name == QLatin1String("xmark"))
            cross(painter, tint);
        else if (name == QLatin1String("link"))
            chain(painter, tint);
        else if (name == QLatin1String("clock.arrow.circlepath"))
            history(painter, tint);
        else
            clipboard(painter, tint);
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace corvane
