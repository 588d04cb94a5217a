#include "settings/LayoutPresetCard.h"

#include "settings/LayoutThumbnail.h"

#include <QPainter>

#include <algorithm>

namespace corvane {

namespace {
constexpr int padding = 10;
constexpr int titleGap = 6;
} // namespace

LayoutPresetCard::LayoutPresetCard(LayoutPreset preset, QWidget* parent)
    : QAbstractButton(parent), m_preset(preset) {
    setText(title(preset));
    setAccessibleName(title(preset));
    setCursor(Qt::PointingHandCursor);
    QFont small = font();
    small.setPixelSize(11);
    small.setWeight(QFont::Medium);
    setFont(small);
}

QSize LayoutPresetCard::sizeHint() const {
    return {static_cast<int>(LayoutThumbnail::width) + 2 * padding,
            static_cast<int>(LayoutThumbnail::height) + titleGap + fontMetrics().height() + 2 * padding};
}

void LayoutPresetCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::WindowText);
    QColor card = ink;
    card.setAlphaF(isDown() ? 0.12f : (underMouse() ? 0.08f : 0.05f));
    painter.setPen(Qt::NoPen);
    painter.setBrush(card);
    painter.drawRoundedRect(QRectF(rect()), 10, 10);
    const double left = (width() - LayoutThumbnail::width) / 2;
    LayoutThumbnail::draw(painter, QPointF(left, padding), m_preset, 3, ink);
    painter.setPen(ink);
    const QRectF caption(0, padding + LayoutThumbnail::height + titleGap, width(), fontMetrics().height());
    painter.drawText(caption, Qt::AlignCenter, text());
}

AdaptiveGrid::AdaptiveGrid(int minimumColumn, int spacing, QWidget* parent)
    : QWidget(parent), m_minimumColumn(minimumColumn), m_spacing(spacing) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void AdaptiveGrid::addWidget(QWidget* widget) {
    widget->setParent(this);
    m_items.push_back(widget);
    updateGeometry();
    place();
}

int AdaptiveGrid::columnsFor(int width) const {
    return std::max(1, (width + m_spacing) / (m_minimumColumn + m_spacing));
}

int AdaptiveGrid::columns() const {
    return columnsFor(width());
}

int AdaptiveGrid::rowHeight() const {
    int tallest = 0;
    for (QWidget* item : m_items)
        tallest = std::max(tallest, item->sizeHint().height());
    return tallest;
}

int AdaptiveGrid::heightForWidth(int width) const {
    const int count = static_cast<int>(m_items.size());
    const int perRow = columnsFor(width);
    const int rows = (count + perRow - 1) / perRow;
    return rows == 0 ? 0 : rows * rowHeight() + (rows - 1) * m_spacing;
}

QSize AdaptiveGrid::sizeHint() const {
    return {m_minimumColumn, heightForWidth(m_minimumColumn)};
}

void AdaptiveGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void AdaptiveGrid::place() {
    const int perRow = columnsFor(width());
    const int columnWidth = (width() - (perRow - 1) * m_spacing) / perRow;
    const int height = rowHeight();
    for (size_t i = 0; i < m_items.size(); ++i) {
        const int column = static_cast<int>(i) % perRow;
        const int row = static_cast<int>(i) / perRow;
        m_items[i]->setGeometry(column * (columnWidth + m_spacing), row * (height + m_spacing), columnWidth,
                                height);
    }
}

} // namespace corvane
