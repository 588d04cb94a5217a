#include "core/SymbolImage.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <numbers>
#include <utility>

namespace corvane {

namespace {

// Every glyph is drawn in a unit square; the painter scales it to the requested size.
using Glyph = void (*)(QPainter&, const QColor&);

constexpr double stroke = 0.1;

QPen markPen(const QColor& color) {
    QPen pen(color, stroke);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void fillCircle(QPainter& p, const QColor& tint) {
    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    p.drawEllipse(QPointF(0.5, 0.5), 0.46, 0.46);
}

// Draws what `mark` paints as a hole in what is already there.
void cutOut(QPainter& p, const std::function<void()>& mark) {
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    mark();
    p.restore();
}

void warningTriangle(QPainter& p, const QColor& tint) {
    QPainterPath triangle;
    triangle.moveTo(0.5, 0.07);
    triangle.lineTo(0.96, 0.9);
    triangle.lineTo(0.04, 0.9);
    triangle.closeSubpath();
    p.setPen(QPen(tint, 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(tint);
    p.drawPath(triangle);
    cutOut(p, [&] {
        p.setPen(markPen(Qt::black));
        p.drawLine(QPointF(0.5, 0.36), QPointF(0.5, 0.6));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(0.5, 0.75), 0.055, 0.055);
    });
}

void layerStack(QPainter& p, const QColor& tint) {
    QPainterPath top;
    top.moveTo(0.5, 0.08);
    top.lineTo(0.94, 0.3);
    top.lineTo(0.5, 0.52);
    top.lineTo(0.06, 0.3);
    top.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    p.drawPath(top);
    p.setPen(markPen(tint));
    p.setBrush(Qt::NoBrush);
    for (double y : {0.5, 0.7}) {
        QPainterPath layer;
        layer.moveTo(0.08, y);
        layer.lineTo(0.5, y + 0.2);
        layer.lineTo(0.92, y);
        p.drawPath(layer);
    }
}

// A half circle clockwise from `startDegrees` (counter-clockwise from three o'clock, as on a
// dial) with an arrowhead where it ends.
void arrowArc(QPainter& p, const QColor& tint, double startDegrees) {
    constexpr double sweep = 140;
    constexpr QPointF centre(0.5, 0.5);
    constexpr double radius = 0.33;
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arc;
    arc.arcMoveTo(circle, startDegrees);
    arc.arcTo(circle, startDegrees, -sweep);
    p.setPen(markPen(tint));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);

    const double end = (startDegrees - sweep) * std::numbers::pi / 180.0;
    const QPointF tip = centre + QPointF(radius * std::cos(end), -radius * std::sin(end));
    const QPointF along(std::sin(end), std::cos(end)); // the clockwise direction at the end
    const QPointF outward(std::cos(end), -std::sin(end));
    QPainterPath head;
    head.moveTo(tip + along * 0.15);
    head.lineTo(tip + outward * 0.12);
    head.lineTo(tip - outward * 0.12);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    p.drawPath(head);
}

void circlingArrows(QPainter& p, const QColor& tint) {
    arrowArc(p, tint, 160);
    arrowArc(p, tint, -20);
}

void plusCircle(QPainter& p, const QColor& tint) {
    fillCircle(p, tint);
    cutOut(p, [&] {
        p.setPen(markPen(Qt::black));
        p.drawLine(QPointF(0.5, 0.26), QPointF(0.5, 0.74));
        p.drawLine(QPointF(0.26, 0.5), QPointF(0.74, 0.5));
    });
}

void questionCircle(QPainter& p, const QColor& tint) {
    fillCircle(p, tint);
    cutOut(p, [&] {
        QPainterPath hook;
        const QRectF bow(0.37, 0.22, 0.26, 0.26);
        hook.arcMoveTo(bow, 160);
        hook.arcTo(bow, 160, -230);
        hook.lineTo(0.5, 0.6);
        p.setPen(markPen(Qt::black));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(0.5, 0.75), 0.055, 0.055);
    });
}

void checkCircle(QPainter& p, const QColor& tint) {
    fillCircle(p, tint);
    cutOut(p, [&] {
        QPainterPath check;
        check.moveTo(0.29, 0.52);
        check.lineTo(0.44, 0.67);
        check.lineTo(0.72, 0.36);
        p.setPen(markPen(Qt::black));
        p.setBrush(Qt::NoBrush);
        p.drawPath(check);
    });
}

void minusCircle(QPainter& p, const QColor& tint) {
    fillCircle(p, tint);
    cutOut(p, [&] {
        p.setPen(markPen(Qt::black));
        p.drawLine(QPointF(0.26, 0.5), QPointF(0.74, 0.5));
    });
}

void crossCircle(QPainter& p, const QColor& tint) {
    fillCircle(p, tint);
    cutOut(p, [&] {
        p.setPen(markPen(Qt::black));
        p.drawLine(QPointF(0.33, 0.33), QPointF(0.67, 0.67));
        p.drawLine(QPointF(0.67, 0.33), QPointF(0.33, 0.67));
    });
}

void plusMark(QPainter& p, const QColor& tint) {
    p.setPen(markPen(tint));
    p.drawLine(QPointF(0.5, 0.2), QPointF(0.5, 0.8));
    p.drawLine(QPointF(0.2, 0.5), QPointF(0.8, 0.5));
}

void minusMark(QPainter& p, const QColor& tint) {
    p.setPen(markPen(tint));
    p.drawLine(QPointF(0.2, 0.5), QPointF(0.8, 0.5));
}

void chevron(QPainter& p, const QColor& tint, bool up) {
    QPainterPath mark;
    mark.moveTo(0.22, up ? 0.64 : 0.36);
    mark.lineTo(0.5, up ? 0.36 : 0.64);
    mark.lineTo(0.78, up ? 0.64 : 0.36);
    p.setPen(markPen(tint));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mark);
}

void chevronUp(QPainter& p, const QColor& tint) {
    chevron(p, tint, true);
}

void chevronDown(QPainter& p, const QColor& tint) {
    chevron(p, tint, false);
}

// The clipboard strip's marks: outlines in the tint.
QPen strokePen(const QColor& tint, double width) {
    return QPen(tint, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void clipboard(QPainter& p, const QColor& tint) {
    p.setPen(strokePen(tint, 0.07));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.18, 0.14, 0.64, 0.8), 0.08, 0.08);
    p.setBrush(tint);
    p.drawRoundedRect(QRectF(0.35, 0.06, 0.3, 0.14), 0.04, 0.04);
    for (double y : {0.42, 0.57, 0.72})
        p.drawLine(QPointF(0.32, y), QPointF(0.68, y));
}

void magnifier(QPainter& p, const QColor& tint) {
    p.setPen(strokePen(tint, 0.11));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0.42, 0.42), 0.28, 0.28);
    p.drawLine(QPointF(0.63, 0.63), QPointF(0.9, 0.9));
}

void cross(QPainter& p, const QColor& tint) {
    p.setPen(strokePen(tint, 0.14));
    p.drawLine(QPointF(0.2, 0.2), QPointF(0.8, 0.8));
    p.drawLine(QPointF(0.8, 0.2), QPointF(0.2, 0.8));
}

void chain(QPainter& p, const QColor& tint) {
    p.setPen(strokePen(tint, 0.09));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.translate(0.5, 0.5);
    p.rotate(-45);
    p.drawRoundedRect(QRectF(-0.42, -0.13, 0.46, 0.26), 0.13, 0.13);
    p.drawRoundedRect(QRectF(-0.04, -0.13, 0.46, 0.26), 0.13, 0.13);
    p.restore();
}

void history(QPainter& p, const QColor& tint) {
    p.setPen(strokePen(tint, 0.08));
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

const std::pair<const char*, Glyph> glyphs[] = {
    {"exclamationmark.triangle.fill", warningTriangle},
    {"square.stack.3d.up.fill", layerStack},
    {"arrow.triangle.2.circlepath", circlingArrows},
    {"plus.circle.fill", plusCircle},
    {"questionmark.circle.fill", questionCircle},
    {"checkmark.circle.fill", checkCircle},
    {"minus.circle.fill", minusCircle},
    {"xmark.circle.fill", crossCircle},
    {"plus", plusMark},
    {"minus", minusMark},
    {"chevron.up", chevronUp},
    {"doc.on.clipboard", clipboard},
    {"magnifyingglass", magnifier},
    {"xmark", cross},
    {"link", chain},
    {"clock.arrow.circlepath", history},
    {"chevron.down", chevronDown},
    {"square.stack.3d.up", layerStack},
};

Glyph glyphFor(const QString& name) {
    for (const auto& [known, draw] : glyphs) {
        if (name == QLatin1String(known))
            return draw;
    }
    return fillCircle;
}

} // namespace

bool isKnownSymbol(const QString& name) {
    for (const auto& entry : glyphs) {
        if (name == QLatin1String(entry.first))
            return true;
    }
    return false;
}

QPixmap symbolImage(const QString& name, const QColor& tint, int size, qreal devicePixelRatio) {
    if (size <= 0)
        return QPixmap();
    const qreal ratio = devicePixelRatio > 0 && std::isfinite(devicePixelRatio) ? devicePixelRatio : 1.0;
    const int pixels = static_cast<int>(std::ceil(size * ratio));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(pixels, pixels);
        glyphFor(name)(painter, tint);
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace corvane
