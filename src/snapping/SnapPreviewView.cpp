#include "snapping/SnapPreviewView.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace corvane {

SnapPreviewView::SnapPreviewView(const QColor& accent, QWidget* parent) : QWidget(parent), m_accent(accent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QPainterPath SnapPreviewView::edgeOutline(const QSize& size) {
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    const double radius = std::min(cornerRadius, std::min(bounds.width(), bounds.height()) / 2);
    QPainterPath edge;
    edge.addRoundedRect(bounds, radius, radius);
    // The inside is cut out: the edge line and the panel's rim remain.
    const QRectF inside = bounds.adjusted(edgeWidth, edgeWidth, -edgeWidth, -edgeWidth);
    if (inside.isValid()) {
        const double insideRadius = std::max(radius - edgeWidth, 0.0);
        edge.addRoundedRect(inside, insideRadius, insideRadius);
    }
    edge.setFillRule(Qt::OddEvenFill);
    return edge;
}

void SnapPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(rect());
    const double radius = std::min(cornerRadius, std::min(bounds.width(), bounds.height()) / 2);
    QPainterPath shape;
    shape.addRoundedRect(bounds, radius, radius);
    QColor tint = m_accent;
    tint.setAlphaF(0.1f);
    painter.fillPath(shape, tint);

    // The edge lies wholly inside the shape: the same rectangle inset by half the line.
    const double half = edgeWidth / 2;
    const QRectF inset = bounds.adjusted(half, half, -half, -half);
    const double insetRadius = std::max(radius - half, 0.0);
    painter.setPen(QPen(m_accent, edgeWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(inset, insetRadius, insetRadius);
}

} // namespace corvane
