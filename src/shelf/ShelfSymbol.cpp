#include "shelf/ShelfSymbol.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace corvane {

namespace {

// Glyphs are drawn in a unit square.

void folder(QPainter& p) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0.04, 0.14, 0.4, 0.2), 0.06, 0.06);
    path.addRoundedRect(QRectF(0.04, 0.26, 0.92, 0.62), 0.09, 0.09);
    p.drawPath(path.simplified());
}

// The tray's body: a box with a dip in its top edge, and its raised back edge.
void trayBody(QPainter& p, const QColor& tint) {
    QPainterPath body;
    body.moveTo(0.04, 0.52);
    body.lineTo(0.33, 0.52);
    body.lineTo(0.4, 0.64);
    body.lineTo(0.6, 0.64);
    body.lineTo(0.67, 0.52);
    body.lineTo(0.96, 0.52);
    body.lineTo(0.96, 0.84);
    body.quadTo(0.96, 0.9, 0.9, 0.9);
    body.lineTo(0.1, 0.9);
    body.quadTo(0.04, 0.9, 0.04, 0.84);
    body.closeSubpath();
    p.drawPath(body);

    QPen rim(tint, 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.save();
    p.setPen(rim);
    p.setBrush(Qt::NoBrush);
    QPainterPath back;
    back.moveTo(0.08, 0.52);
    back.lineTo(0.2, 0.18);
    back.lineTo(0.8, 0.18);
    back.lineTo(0.92, 0.52);
    p.drawPath(back);
    p.restore();
}

void arrowDown(QPainter& p, const QColor& tint) {
    p.save();
    p.setPen(QPen(tint, 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(0.5, 0.02), QPointF(0.5, 0.5));
    QPainterPath head;
    head.moveTo(0.33, 0.34);
    head.lineTo(0.5, 0.52);
    head.lineTo(0.67, 0.34);
    p.drawPath(head);
    p.restore();
}

} // namespace

void drawShelfSymbol(QPainter& painter, const QString& name, const QRectF& box, const QColor& tint) {
    const qreal side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side, side);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint);
    if (name == QLatin1String("folder.fill")) {
        folder(painter);
    } else if (name == QLatin1String("tray.fill")) {
        trayBody(painter, tint);
    } else if (name == QLatin1String("tray.and.arrow.down.fill")) {
        trayBody(painter, tint);
        arrowDown(painter, tint);
    } else {
        painter.drawEllipse(QRectF(0.05, 0.05, 0.9, 0.9));
    }
    painter.restore();
}

} // namespace corvane
