#include "system/AwakeSymbols.h"

#include "core/TrayPicture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

#include <map>

namespace corvane {

namespace {

QPixmap drawStatusPicture(bool active, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    const qreal u = size / 22.0;
    if (active) {
        // A cup on a saucer, with its handle on the right.
        QPainterPath cup;
        cup.moveTo(4 * u, 6 * u);
        cup.lineTo(15 * u, 6 * u);
        cup.lineTo(14 * u, 14 * u);
        cup.quadTo(13.5 * u, 16 * u, 11.5 * u, 16 * u);
        cup.lineTo(7.5 * u, 16 * u);
        cup.quadTo(5.5 * u, 16 * u, 5 * u, 14 * u);
        cup.closeSubpath();
        painter.fillPath(cup, ink);
        painter.setPen(QPen(ink, 1.6 * u));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(13.5 * u, 7.5 * u, 4.5 * u, 4.5 * u));
        painter.drawLine(QPointF(2.5 * u, 18.5 * u), QPointF(16.5 * u, 18.5 * u));
    } else {
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(qMax(6, int(9 * u)));
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(QRectF(1 * u, 3 * u, 12 * u, 10 * u), Qt::AlignCenter, QStringLiteral("Z"));
        font.setPixelSize(qMax(5, int(7 * u)));
        painter.setFont(font);
        painter.drawText(QRectF(9 * u, 9 * u, 10 * u, 8 * u), Qt::AlignCenter, QStringLiteral("z"));
        font.setPixelSize(qMax(4, int(5 * u)));
        painter.setFont(font);
        painter.drawText(QRectF(14 * u, 14 * u, 7 * u, 6 * u), Qt::AlignCenter, QStringLiteral("z"));
    }
    return pixmap;
}

} // namespace

QIcon awakeStatusIcon(bool active) {
    QIcon icon;
    for (const int size : {16, 22, 32, 44})
        icon.addPixmap(outlinedTrayPicture(drawStatusPicture(active, size)));
    return icon;
}

QIcon awakeMenuIcon(const QString& symbol) {
    // The freedesktop icon names closest to each symbol.
    static const std::map<QString, QString> themeNames{
        {QStringLiteral("cup.and.saucer"), QStringLiteral("media-playback-start")},
        {QStringLiteral("stop.circle"), QStringLiteral("media-playback-stop")},
        {QStringLiteral("clock"), QStringLiteral("appointment-soon")},
        {QStringLiteral("display"), QStringLiteral("video-display")},
        {QStringLiteral("gearshape.2"), QStringLiteral("computer")},
        {QStringLiteral("laptopcomputer"), QStringLiteral("computer-laptop")},
        {QStringLiteral("gearshape"), QStringLiteral("preferences-system")},
    };
    const auto it = themeNames.find(symbol);
    return it == themeNames.end() ? QIcon() : QIcon::fromTheme(it->second);
}

QString modeSymbol(AwakeMode mode) {
    switch (mode) {
    case AwakeMode::display:
        return QStringLiteral("display");
    case AwakeMode::system:
        return QStringLiteral("gearshape.2");
    case AwakeMode::lidClosed:
        return QStringLiteral("laptopcomputer");
    }
    return {};
}

} // namespace corvane
