#include "shelf/FileListGlyph.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace corvane {

void drawFileListGlyph(QPainter& painter, const QString& name, const QRectF& box, const QColor& tint) {
    const qreal s = std::min(box.width(), box.height());
    const QRectF r(box.center().x() - s / 2, box.center().y() - s / 2, s, s);
    auto at = [&r](qreal fx, qreal fy) {
        return QPointF(r.left() + fx * r.width(), r.top() + fy * r.height());
    };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(tint, std::max<qreal>(1.2, s / 9), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);

    if (name == QLatin1String("chevron.left")) {
        painter.drawPolyline(QPolygonF({at(0.62, 0.2), at(0.35, 0.5), at(0.62, 0.8)}));
    } else if (name == QLatin1String("xmark")) {
        painter.drawLine(at(0.25, 0.25), at(0.75, 0.75));
        painter.drawLine(at(0.75, 0.25), at(0.25, 0.75));
    } else if (name == QLatin1String("trash")) {
        painter.drawLine(at(0.18, 0.28), at(0.82, 0.28));
        painter.drawLine(at(0.4, 0.16), at(0.6, 0.16));
        painter.drawPolyline(QPolygonF({at(0.27, 0.28), at(0.32, 0.86), at(0.68, 0.86), at(0.73, 0.28)}));
    } else if (name == QLatin1String("open")) {
        painter.drawPolyline(
            QPolygonF({at(0.5, 0.2), at(0.2, 0.2), at(0.2, 0.8), at(0.8, 0.8), at(0.8, 0.5)}));
        painter.drawLine(at(0.45, 0.55), at(0.82, 0.18));
        painter.drawPolyline(QPolygonF({at(0.58, 0.18), at(0.82, 0.18), at(0.82, 0.42)}));
    } else if (name == QLatin1String("float") || name == QLatin1String("unfloat")) {
        // Two arrows along the diagonal: outwards to float, inwards to come back.
        const bool out = name == QLatin1String("float");
        const QPointF a = at(0.2, 0.2), b = at(0.8, 0.8), m1 = at(0.44, 0.44), m2 = at(0.56, 0.56);
        painter.drawLine(a, m1);
        painter.drawLine(m2, b);
        const QPointF tip1 = out ? a : m1, tip2 = out ? b : m2;
        const qreal d = out ? 0.2 : -0.2;
        painter.drawPolyline(QPolygonF({tip1 + QPointF(d * s, 0), tip1, tip1 + QPointF(0, d * s)}));
        painter.drawPolyline(QPolygonF({tip2 - QPointF(d * s, 0), tip2, tip2 - QPointF(0, d * s)}));
    } else if (name == QLatin1String("magnifyingglass")) {
        painter.drawEllipse(QRectF(at(0.15, 0.15), at(0.65, 0.65)));
        painter.drawLine(at(0.6, 0.6), at(0.85, 0.85));
    } else if (name == QLatin1String("folder")) {
        QPainterPath path;
        path.moveTo(at(0.1, 0.3));
        path.lineTo(at(0.1, 0.82));
        path.lineTo(at(0.9, 0.82));
        path.lineTo(at(0.9, 0.32));
        path.lineTo(at(0.48, 0.32));
        path.lineTo(at(0.4, 0.2));
        path.lineTo(at(0.1, 0.2));
        path.closeSubpath();
        painter.drawPath(path);
    } else if (name == QLatin1String("tray.and.arrow.down")) {
        painter.drawPolyline(QPolygonF({at(0.1, 0.55), at(0.1, 0.85), at(0.9, 0.85), at(0.9, 0.55)}));
        painter.drawPolyline(QPolygonF(
            {at(0.1, 0.62), at(0.35, 0.62), at(0.4, 0.72), at(0.6, 0.72), at(0.65, 0.62), at(0.9, 0.62)}));
        painter.drawLine(at(0.5, 0.1), at(0.5, 0.5));
        painter.drawPolyline(QPolygonF({at(0.35, 0.36), at(0.5, 0.5), at(0.65, 0.36)}));
    } else {
        painter.setBrush(tint);
        painter.drawEllipse(r.adjusted(s / 4, s / 4, -s / 4, -s / 4));
    }
    painter.restore();
}

} // namespace corvane
