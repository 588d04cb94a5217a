#include "settings/LidPermissionRow.h"

#include "settings/FormSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace corvane {

namespace {

// A filled shield, green with a check mark cut out of it, or orange and plain.
QPixmap shield(int size, bool granted) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal u = size / 20.0;
    QPainterPath outline;
    outline.moveTo(10 * u, 1.5 * u);
    outline.lineTo(17 * u, 4 * u);
    outline.cubicTo(17 * u, 11 * u, 15 * u, 15.5 * u, 10 * u, 18.5 * u);
    outline.cubicTo(5 * u, 15.5 * u, 3 * u, 11 * u, 3 * u, 4 * u);
    outline.closeSubpath();
    painter.fillPath(outline, granted ? QColor(52, 199, 89) : QColor(255, 149, 0));
    if (!granted)
        return pixmap;
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(QPen(Qt::black, 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(
        QPolygonF{QPointF(6.5 * u, 10 * u), QPointF(9 * u, 12.5 * u), QPointF(13.5 * u, 7 * u)});
    return pixmap;
}

} // namespace

LidPermissionRow::LidPermissionRow(bool lidHoldOffered, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lidPermissionRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    auto* symbol = new QLabel;
    symbol->setPixmap(shield(20, lidHoldOffered));
    layout->addWidget(symbol, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    // Green only where it is true: without a login service nothing can hold the lid.
    m_title = new QLabel(lidHoldOffered ? QStringLiteral("Lid closed works without a password")
                                        : QStringLiteral("Lid closed cannot work here"));
    m_detail = captionLabel(
        lidHoldOffered
            ? QStringLiteral("Corvane asks the login service to ignore the lid only while it keeps "
                             "your computer awake, and lets go when it stops. Nothing to install.")
            : QStringLiteral("No login service (logind) answers on the system bus, so nothing can "
                             "keep the computer awake with the lid closed."));
    column->addWidget(m_title);
    column->addWidget(m_detail);
    layout->addLayout(column, 1);
}

} // namespace corvane
