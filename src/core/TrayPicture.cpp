#include "core/TrayPicture.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// The shape of `symbol` in `colour`.
QImage tinted(const QImage& symbol, const QColor& colour) {
    QImage image(symbol.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, symbol);
    return image;
}

} // namespace

QColor trayPictureFill() {
    return QColor(0xF4, 0xF4, 0xF4);
}

QColor trayPictureOutline() {
    return QColor(0x1C, 0x1C, 0x1C);
}

QPixmap outlinedTrayPicture(const QPixmap& symbol) {
    if (symbol.isNull())
        return symbol;
    QImage shape = symbol.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    shape.setDevicePixelRatio(1.0);
    const int width =
        std::max(1, static_cast<int>(std::lround(std::max(shape.width(), shape.height()) / 22.0)));
    const QImage outline = tinted(shape, trayPictureOutline());
    QImage picture(shape.width() + 2 * width, shape.height() + 2 * width,
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        // The outline is the shape moved every way by up to its width, under the shape itself.
        for (int dy = -width; dy <= width; ++dy)
            for (int dx = -width; dx <= width; ++dx)
                if (dx * dx + dy * dy <= width * width + 1)
                    painter.drawImage(width + dx, width + dy, outline);
        painter.drawImage(width, width, tinted(shape, trayPictureFill()));
    }
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(symbol.devicePixelRatio());
    return pixmap;
}

} // namespace corvane
