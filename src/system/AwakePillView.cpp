#include "system/AwakePillView.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace corvane {

AwakePillView::AwakePillView(NotchModel& model, double height, QWidget* parent)
    : QWidget(parent), m_model(&model), m_height(height) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&model, &NotchModel::changed, this, qOverload<>(&QWidget::update));
}

QRectF AwakePillView::ringRect() const {
    const double side = 0.72 * m_height;
    return QRectF(width() - 7 - side, (height() - side) / 2, side, side);
}

QPainterPath AwakePillView::outline() const {
    const QRectF box = rect();
    const double radius = 10;
    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.topRight());
    path.lineTo(box.right(), box.bottom() - radius);
    path.quadTo(box.bottomRight(), QPointF(box.right() - radius, box.bottom()));
    path.lineTo(box.bottomLeft());
    path.closeSubpath();
    return path;
}

void AwakePillView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::black);
    const QRectF ring = ringRect();
    const QColor purple(175, 82, 222);
    const QColor pink(255, 45, 85);
    QColor faint = purple;
    faint.setAlphaF(0.25f);
    p.setPen(QPen(faint, 2));
    p.drawEllipse(ring);
    QLinearGradient gradient(ring.topLeft(), ring.bottomLeft());
    gradient.setColorAt(0, purple);
    gradient.setColorAt(1, pink);
    const double progress = m_model ? std::clamp(m_model->awakeProgress(), 0.0, 1.0) : 1.0;
    p.setPen(QPen(QBrush(gradient), 2, Qt::SolidLine, Qt::RoundCap));
    // From twelve o'clock, clockwise.
    p.drawArc(ring, 90 * 16, -int(progress * 360 * 16));
    // The cup and its saucer.
    const double u = ring.width() / 10;
    const QPointF c = ring.center();
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(gradient));
    p.drawRoundedRect(QRectF(c.x() - 2.2 * u, c.y() - 1.8 * u, 3.6 * u, 3.0 * u), 0.8 * u, 0.8 * u);
    p.drawRoundedRect(QRectF(c.x() - 3.0 * u, c.y() + 1.6 * u, 5.6 * u, 0.9 * u), 0.4 * u, 0.4 * u);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(gradient), 0.7 * u));
    p.drawEllipse(QRectF(c.x() + 1.0 * u, c.y() - 1.2 * u, 1.8 * u, 1.6 * u));
}

} // namespace corvane
