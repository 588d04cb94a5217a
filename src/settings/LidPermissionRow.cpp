#include "settings/LidPermissionRow.h"

#include "settings/FormSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace corvane {

namespace {

// A filled green shield with a check mark cut out of it.
QPixmap checkShield(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal u = size / 20.0;
    QPainterPath shield;
    shield.moveTo(10 * u, 1.5 * u);
    shield.lineTo(17 * u, 4 * u);
    shield.cubicTo(17 * u, 11 * u, 15 * u, 15.5 * u, 10 * u, 18.5 * u);
    shield.cubicTo(5 * u, 15.5 * u, 3 * u, 11 * u, 3 * u, 4 * u);
    shield.closeSubpath();
    painter.fillPath(shield, QColor(52, 199, 89));
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(QPen(Qt::black, 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(
        QPolygonF{QPointF(6.5 * u, 10 * u), QPointF(9 * u, 12.5 * u), QPointF(13.5 * u, 7 * u)});
    return pixmap;
}

} // namespace

LidPermissionRow::LidPermissionRow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lidPermissionRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    auto* symbol = new QLabel;
    symbol->setPixmap(checkShield(20));
    layout->addWidget(symbol, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    m_title = new QLabel(QStringLiteral("Lid closed works without a password"));
    m_detail =
        captionLabel(QStringLiteral("Corvane asks the login service to ignore the lid only while it keeps "
                                    "your computer awake, and lets go when it stops. Nothing to install."));
    column->addWidget(m_title);
    column->addWidget(m_detail);
    layout->addLayout(column, 1);
}

} // namespace corvane
