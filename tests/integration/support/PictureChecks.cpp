#include "support/PictureChecks.h"

#include <QSet>

namespace corvane::testing {

int distinctColours(const QImage& image, int enough) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> seen;
    for (int y = 0; y < rgb.height(); y += 2) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); x += 2) {
            seen.insert(line[x]);
            if (seen.size() >= enough)
                return enough;
        }
    }
    return static_cast<int>(seen.size());
}

} // namespace corvane::testing
