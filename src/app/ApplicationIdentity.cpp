#include "app/ApplicationIdentity.h"

#include "settings/ApplicationIcon.h"

#include <QGuiApplication>

namespace corvane {

QIcon productIcon() {
    QIcon icon(QStringLiteral(":/corvane/corvane.svg"));
    if (!icon.pixmap(QSize(48, 48)).isNull())
        return icon;
    // Without the toolkit's SVG support the drawn picture stands in.
    QIcon drawn;
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        drawn.addPixmap(applicationIcon(side, 1.0));
    return drawn;
}

void setApplicationIdentity() {
    QGuiApplication::setWindowIcon(productIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane"));
}

} // namespace corvane
