#include "sidebar/SidebarPainting.h"

#include <QPainter>
#include <QPixmapCache>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace corvane::SidebarPainting {

QColor mixed(const QColor& from, const QColor& to, double t) {
    const double k = std::clamp(t, 0.0, 1.0);
    const auto mix = [k](float a, float b) { return static_cast<float>(a + (b - a) * k); };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                            mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(static_cast<float>(color.alphaF() * alpha));
    return color;
}

QColor primary(const QWidget& widget) {
    return widget.palette().color(QPalette::WindowText);
}

QColor secondary(const QWidget& widget) {
    return withAlpha(primary(widget), 0.55);
}

void drawShadow(QPainter& painter, const QRectF& rect, double cornerRadius, double opacity, double radius,
                QPointF offset) {
    // Layered rings approximate a blur: each step outward adds a little less darkness.
    const int steps = std::max(1, static_cast<int>(std::ceil(radius)));
    painter.save();
    painter.setPen(Qt::NoPen);
    const QRectF base = rect.translated(offset);
    for (int i = steps; i >= 1; --i) {
        const double grow = radius * i / steps;
        const double share = opacity * 2.0 / (steps + 1);
        painter.setBrush(QColor::fromRgbF(0, 0, 0, static_cast<float>(share * (steps + 1 - i) / steps)));
        painter.drawRoundedRect(base.adjusted(-grow / 2, -grow / 2, grow / 2, grow / 2),
                                cornerRadius + grow / 2, cornerRadius + grow / 2);
    }
    painter.restore();
}

void drawCachedShadow(QPainter& painter, const QRectF& rect, double cornerRadius, double opacity,
                      double radius, QPointF offset) {
    const QTransform world = painter.transform();
    if (world.type() > QTransform::TxScale || !painter.device()) {
        drawShadow(painter, rect, cornerRadius, opacity, radius, offset);
        return;
    }
    // Drawn in device pixels, from a whole pixel, so that the picture lands where the shadow would.
    const double ratio = painter.device()->devicePixelRatioF();
    const QTransform toDevice = world * QTransform::fromScale(ratio, ratio);
    const QRectF reach = toDevice.mapRect(rect.translated(offset).adjusted(-radius, -radius, radius, radius));
    const QPoint origin(static_cast<int>(std::floor(reach.left())),
                        static_cast<int>(std::floor(reach.top())));
    const QSize size(static_cast<int>(std::ceil(reach.right())) - origin.x() + 1,
                     static_cast<int>(std::ceil(reach.bottom())) - origin.y() + 1);
    const QTransform local = toDevice * QTransform::fromTranslate(-origin.x(), -origin.y());
    const QRectF placed = local.mapRect(rect);
    const QString key = QString::asprintf(
        "corvane-shadow %.3f %.3f %.3f %.3f %.5f %.5f %.3f %.4f %.3f %.3f %.3f %d", placed.x(), placed.y(),
        placed.width(), placed.height(), local.m11(), local.m22(), cornerRadius, opacity, radius, offset.x(),
        offset.y(), painter.testRenderHint(QPainter::Antialiasing) ? 1 : 0);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        {
            QPainter shadow(&drawn);
            shadow.setRenderHint(QPainter::Antialiasing, painter.testRenderHint(QPainter::Antialiasing));
            shadow.setTransform(local);
            drawShadow(shadow, rect, cornerRadius, opacity, radius, offset);
        }
        picture = QPixmap::fromImage(std::move(drawn));
        picture.setDevicePixelRatio(ratio);
        QPixmapCache::insert(key, picture);
    }
    painter.save();
    painter.resetTransform();
    painter.drawPixmap(QPointF(origin) / ratio, picture);
    painter.restore();
}

void adjustSaturation(QImage& image, double factor) {
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const double r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
            const double grey = 0.2126 * r + 0.7152 * g + 0.0722 * b;
            auto mix = [&](double c) {
                return std::clamp(static_cast<int>(std::lround(grey + factor * (c - grey))), 0,
                                  qAlpha(pixel));
            };
            line[x] = qRgba(mix(r), mix(g), mix(b), qAlpha(pixel));
        }
    }
}

void strokeInside(QPainter& painter, const QRectF& rect, double cornerRadius, const QColor& color,
                  double width) {
    painter.save();
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double inset = width / 2;
    const double radius = std::max(0.0, cornerRadius - inset);
    painter.drawRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius, radius);
    painter.restore();
}

} // namespace corvane::SidebarPainting
