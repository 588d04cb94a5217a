#include "settings/LayoutThumbnail.h"

#include "core/Colors.h"
#include "snapping/LayoutFrames.h"

#include <QPainter>

namespace corvane::LayoutThumbnail {

std::vector<QRectF> frames(LayoutPreset preset, int count) {
    const int windows = preset == LayoutPreset::grid ? 4 : count;
    return corvane::frames(preset, windows, QRectF(0, 0, width, height), 3);
}

void draw(QPainter& painter, QPointF origin, LayoutPreset preset, int count, const QColor& text) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);
    painter.setPen(Qt::NoPen);
    QColor screen = text;
    screen.setAlphaF(0.08f);
    painter.setBrush(screen);
    painter.drawRoundedRect(QRectF(0, 0, width, height), 5, 5);
    QColor main = brandColor();
    main.setAlphaF(0.85f);
    QColor other = text;
    other.setAlphaF(0.45f * 0.6f);
    const std::vector<QRectF> placed = frames(preset, count);
    for (size_t i = 0; i < placed.size(); ++i) {
        // Every window of "Maximize All" lies on the first: only that one shows.
        if (i > 0 && preset == LayoutPreset::maximize)
            continue;
        painter.setBrush(i == 0 ? main : other);
        painter.drawRoundedRect(placed[i], 3, 3);
    }
    painter.restore();
}

} // namespace corvane::LayoutThumbnail
