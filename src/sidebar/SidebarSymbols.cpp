#include "sidebar/SidebarSymbols.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace corvane {

namespace {

// Each glyph is drawn in a unit square; the painter maps it onto the box.
QPen line(const QColor& color, double width = 0.12) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void arrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length <= 0)
        return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const double head = 0.22;
    p.drawLine(to, to - u * head + n * head);
    p.drawLine(to, to - u * head - n * head);
}

void pin(QPainter& p, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPainterPath head;
    head.moveTo(0.32, 0.08);
    head.lineTo(0.68, 0.08);
    head.lineTo(0.62, 0.16);
    head.lineTo(0.62, 0.42);
    head.lineTo(0.78, 0.58);
    head.lineTo(0.22, 0.58);
    head.lineTo(0.38, 0.42);
    head.lineTo(0.38, 0.16);
    head.closeSubpath();
    p.drawPath(head);
    p.setPen(line(c, 0.1));
    p.drawLine(QPointF(0.5, 0.58), QPointF(0.5, 0.94));
}

void inward(QPainter& p, const QColor& c) {
    p.setPen(line(c));
    arrow(p, QPointF(0.1, 0.1), QPointF(0.42, 0.42));
    arrow(p, QPointF(0.9, 0.9), QPointF(0.58, 0.58));
}

void outward(QPainter& p, const QColor& c) {
    p.setPen(line(c));
    arrow(p, QPointF(0.42, 0.42), QPointF(0.1, 0.1));
    arrow(p, QPointF(0.58, 0.58), QPointF(0.9, 0.9));
}

void eyeSlash(QPainter& p, const QColor& c) {
    p.setPen(line(c, 0.1));
    p.setBrush(Qt::NoBrush);
    QPainterPath eye;
    eye.moveTo(0.06, 0.5);
    eye.quadTo(0.5, 0.05, 0.94, 0.5);
    eye.quadTo(0.5, 0.95, 0.06, 0.5);
    p.drawPath(eye);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(0.5, 0.5), 0.14, 0.14);
    p.setPen(line(c, 0.1));
    p.drawLine(QPointF(0.14, 0.1), QPointF(0.86, 0.9));
}

void plus(QPainter& p, const QColor& c) {
    p.setPen(line(c, 0.16));
    p.drawLine(QPointF(0.5, 0.12), QPointF(0.5, 0.88));
    p.drawLine(QPointF(0.12, 0.5), QPointF(0.88, 0.5));
}

void gear(QPainter& p, const QColor& c) {
    QPainterPath shape;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double angle = i * std::numbers::pi / teeth;
        const double radius = (i % 2 == 0) ? 0.48 : 0.38;
        // Flat-topped teeth: two points per step.
        for (double offset : {-0.16, 0.16}) {
            const double a = angle + offset * std::numbers::pi / teeth * 2;
            const QPointF point(0.5 + radius * std::cos(a), 0.5 + radius * std::sin(a));
            if (shape.elementCount() == 0)
                shape.moveTo(point);
            else
                shape.lineTo(point);
        }
    }
    shape.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(0.5, 0.5), 0.15, 0.15);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(shape.subtracted(hole));
}

void windows(QPainter& p, const QColor& c) {
    p.setPen(line(c, 0.08));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.26, 0.1, 0.66, 0.5), 0.08, 0.08);
    p.drawRoundedRect(QRectF(0.08, 0.34, 0.66, 0.54), 0.08, 0.08);
    p.drawLine(QPointF(0.08, 0.48), QPointF(0.74, 0.48));
}

} // namespace

void drawSidebarSymbol(QPainter& painter, const QString& name, const QRectF& box, const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    painter.scale(box.width(), box.height());
    if (name == u"pin.fill")
        pin(painter, color);
    else if (name == u"arrow.down.right.and.arrow.up.left")
        inward(painter, color);
    else if (name == u"arrow.up.left.and.arrow.down.right")
        outward(painter, color);
    else if (name == u"eye.slash")
        eyeSlash(painter, color);
    else if (name == u"plus")
        plus(painter, color);
    else if (name == u"gearshape.fill")
        gear(painter, color);
    else if (name == u"macwindow.on.rectangle")
        windows(painter, color);
    else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(QPointF(0.5, 0.5), 0.2, 0.2);
    }
    painter.restore();
}

} // namespace corvane
