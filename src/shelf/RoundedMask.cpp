#include "shelf/RoundedMask.h"

#include <QPainterPath>
#include <QRegion>
#include <QWidget>

namespace corvane {

void applyRoundedMask(QWidget& window, double radius) {
    if (radius <= 0) {
        window.clearMask();
        return;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(window.rect()), radius, radius);
    window.setMask(QRegion(path.toFillPolygon().toPolygon()));
}

} // namespace corvane
