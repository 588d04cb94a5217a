#include "sidebar/AddWorkspaceChip.h"

#include "sidebar/SidebarMetrics.h"
#include "sidebar/SidebarPainting.h"
#include "sidebar/SidebarSymbols.h"

#include <QMouseEvent>
#include <QPainter>

namespace corvane {

using namespace SidebarPainting;

AddWorkspaceChip::AddWorkspaceChip(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setToolTip(QStringLiteral("Save current windows as a workspace"));
    resize(sizeHint());
}

QSize AddWorkspaceChip::sizeHint() const {
    const int side = static_cast<int>(SidebarMetrics::chipSide);
    return QSize(side, side);
}

bool AddWorkspaceChip::hits(const QPointF& point) const {
    const double radius = SidebarMetrics::chipSide / 2;
    const QPointF d = point - QPointF(radius, radius);
    return d.x() * d.x() + d.y() * d.y() <= radius * radius;
}

void AddWorkspaceChip::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton && hits(event->position());
    event->setAccepted(m_pressed);
}

void AddWorkspaceChip::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton && hits(event->position());
    m_pressed = false;
    if (click)
        Q_EMIT clicked();
}

void AddWorkspaceChip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(0, 0, SidebarMetrics::chipSide, SidebarMetrics::chipSide);
    QPen pen(withAlpha(primary(*this), 0.35), 1.0);
    pen.setDashPattern({2.5, 2.0});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    QRectF symbol(0, 0, 8, 8);
    symbol.moveCenter(circle.center());
    drawSidebarSymbol(p, QStringLiteral("plus"), symbol, secondary(*this));
}

} // namespace corvane
