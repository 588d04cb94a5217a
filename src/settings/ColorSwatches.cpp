#include "settings/ColorSwatches.h"

#include "core/Colors.h"
#include "workspaces/Workspace.h"

#include <QMouseEvent>
#include <QPainter>

namespace corvane {

namespace {
constexpr int swatch = 16;
constexpr int spacing = 5;
constexpr int pitch = swatch + spacing;
// The ring lies over the swatch, 3 larger on every side, and takes no room between swatches:
// only at the row's ends is there room for it.
constexpr int overhang = 3;
constexpr int ring = swatch + 2 * overhang;

QRectF swatchRect(int index) {
    return QRectF(overhang + index * pitch, overhang, swatch, swatch);
}

QRectF ringRect(int index) {
    return swatchRect(index).adjusted(-overhang, -overhang, overhang, overhang);
}
} // namespace

ColorSwatches::ColorSwatches(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatches::setChosen(const QString& colorHex) {
    if (colorHex == m_chosen)
        return;
    m_chosen = colorHex;
    update();
}

int ColorSwatches::ringedIndex() const {
    const auto& palette = workspacePalette();
    for (size_t i = 0; i < palette.size(); ++i)
        if (palette[i] == m_chosen)
            return static_cast<int>(i);
    return -1;
}

void ColorSwatches::choose(int index) {
    if (index < 0 || index >= static_cast<int>(workspacePalette().size()))
        return;
    setChosen(workspacePalette()[static_cast<size_t>(index)]);
    Q_EMIT chosenByUser(m_chosen);
}

QSize ColorSwatches::sizeHint() const {
    return {static_cast<int>(workspacePalette().size()) * pitch - spacing + 2 * overhang, ring};
}

void ColorSwatches::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int ringed = ringedIndex();
    for (int i = 0; i < static_cast<int>(workspacePalette().size()); ++i) {
        const QRectF circle = swatchRect(i);
        const QColor colour = colorFromHex(workspacePalette()[static_cast<size_t>(i)]);
        QLinearGradient fill(circle.topLeft(), circle.bottomLeft());
        fill.setColorAt(0, colour.lighter(115));
        fill.setColorAt(1, colour);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawEllipse(circle);
        if (i == ringed) {
            // A stroke of 2 inside the ring's circle.
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
            painter.drawEllipse(ringRect(i).adjusted(1, 1, -1, -1));
        }
    }
}

void ColorSwatches::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < static_cast<int>(workspacePalette().size()); ++i) {
        // A swatch and half the gap on either side of it.
        const double half = spacing / 2.0;
        if (swatchRect(i).adjusted(-half, -overhang, half, overhang).contains(event->position())) {
            choose(i);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

} // namespace corvane
