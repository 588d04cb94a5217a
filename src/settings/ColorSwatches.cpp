#include "settings/ColorSwatches.h"

#include "core/Colors.h"
#include "workspaces/Workspace.h"

#include <QMouseEvent>
#include <QPainter>

namespace corvane {

namespace {
constexpr int swatch = 16;
constexpr int ring = 22;
constexpr int spacing = 5;
constexpr int pitch = ring + spacing;

QRectF ringRect(int index) {
    return QRectF(index * pitch, 0, ring, ring);
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
    return {static_cast<int>(workspacePalette().size()) * pitch - spacing, ring};
}

void ColorSwatches::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int ringed = ringedIndex();
    for (int i = 0; i < static_cast<int>(workspacePalette().size()); ++i) {
        const QRectF outer = ringRect(i);
        const QColor colour = colorFromHex(workspacePalette()[static_cast<size_t>(i)]);
        QLinearGradient fill(outer.topLeft(), outer.bottomLeft());
        fill.setColorAt(0, colour.lighter(115));
        fill.setColorAt(1, colour);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        const double inset = (ring - swatch) / 2.0;
        painter.drawEllipse(outer.adjusted(inset, inset, -inset, -inset));
        if (i == ringed) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
            painter.drawEllipse(outer.adjusted(1, 1, -1, -1));
        }
    }
}

void ColorSwatches::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < static_cast<int>(workspacePalette().size()); ++i) {
        if (ringRect(i).contains(event->position())) {
            choose(i);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

} // namespace corvane
