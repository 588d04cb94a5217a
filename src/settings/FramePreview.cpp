#include "settings/FramePreview.h"

#include "core/Colors.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {
constexpr int margin = 6;
// Fractions beyond this are no screen's: a damaged or hand-edited file.
constexpr double largest = 100;

bool drawable(double value) {
    return std::isfinite(value) && std::abs(value) <= largest;
}
} // namespace

FramePreview::FramePreview(const QRectF& relativeFrame, QWidget* parent)
    : QWidget(parent), m_frame(relativeFrame) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

std::optional<QRectF> FramePreview::windowRect(const QRectF& relativeFrame) {
    if (!drawable(relativeFrame.x()) || !drawable(relativeFrame.y()) || !drawable(relativeFrame.width()) ||
        !drawable(relativeFrame.height()))
        return std::nullopt;
    return QRectF(screenWidth * relativeFrame.x(), screenHeight * relativeFrame.y(),
                  std::max(screenWidth * relativeFrame.width(), 3.0),
                  std::max(screenHeight * relativeFrame.height(), 3.0));
}

QSize FramePreview::sizeHint() const {
    return {static_cast<int>(screenWidth) + 2 * margin, static_cast<int>(screenHeight) + 2 * margin};
}

void FramePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(margin, margin);
    painter.setPen(Qt::NoPen);
    QColor screen = palette().color(QPalette::WindowText);
    screen.setAlphaF(0.08f);
    painter.setBrush(screen);
    painter.drawRoundedRect(QRectF(0, 0, screenWidth, screenHeight), 3, 3);
    if (const std::optional<QRectF> window = windowRect(m_frame)) {
        QColor fill = brandColor();
        fill.setAlphaF(0.8f);
        painter.setBrush(fill);
        painter.drawRoundedRect(*window, 2, 2);
    }
}

} // namespace corvane
