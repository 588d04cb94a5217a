#include "settings/SidebarMiniPreview.h"

#include "core/Colors.h"
#include "workspaces/Workspace.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace corvane {
namespace {

constexpr int padding = 8;
constexpr int spacing = 5;
constexpr int dot = 12;
constexpr int rows = 4;
constexpr int titleHeight = 3;

QColor paletteColour(size_t index) {
    const RGB rgb = hexComponents(workspacePalette()[index % workspacePalette().size()]);
    return QColor::fromRgbF(static_cast<float>(rgb.r), static_cast<float>(rgb.g), static_cast<float>(rgb.b));
}

double rowHeight(int width, bool titles) {
    return 0.66 * width + (titles ? 2 + titleHeight : 0);
}

} // namespace

SidebarMiniPreview::SidebarMiniPreview(QWidget* parent) : QWidget(parent), m_accent(brandColor()) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SidebarMiniPreview::setLook(ThumbnailSize size, bool showTitles, const QColor& accent) {
    if (size == m_size && showTitles == m_showTitles && accent == m_accent)
        return;
    m_size = size;
    m_showTitles = showTitles;
    m_accent = accent;
    updateGeometry();
    update();
}

int SidebarMiniPreview::thumbnailWidth(ThumbnailSize size) {
    switch (size) {
    case ThumbnailSize::small:
        return 48;
    case ThumbnailSize::medium:
        return 66;
    case ThumbnailSize::large:
        return 90;
    }
    return 66;
}

QSize SidebarMiniPreview::sizeHint() const {
    const int width = thumbnailWidth(m_size);
    const double content = dot + 2 + rows * (spacing + rowHeight(width, m_showTitles));
    return {std::max(width, 3 * dot + 2 * 4) + 2 * padding,
            static_cast<int>(std::ceil(content)) + 2 * padding};
}

void SidebarMiniPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor material = palette().color(QPalette::Base);
    QColor border = palette().color(QPalette::WindowText);
    border.setAlphaF(0.08f);
    painter.setPen(QPen(border, 1));
    painter.setBrush(material);
    painter.drawRoundedRect(box, 12, 12);

    const double centre = box.center().x();
    double y = padding;
    // The workspace dots.
    for (int k = 0; k < 3; ++k) {
        const QRectF circle(centre - (3 * dot + 2 * 4) / 2.0 + k * (dot + 4), y, dot, dot);
        QLinearGradient fill(circle.topLeft(), circle.bottomLeft());
        const QColor colour = paletteColour(static_cast<size_t>(k));
        fill.setColorAt(0, colour.lighter(115));
        fill.setColorAt(1, colour);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawEllipse(circle);
    }
    y += dot + 2;

    const int width = thumbnailWidth(m_size);
    QColor secondary = palette().color(QPalette::WindowText);
    secondary.setAlphaF(0.4f * 0.6f);
    for (int i = 0; i < rows; ++i) {
        y += spacing;
        const QRectF thumbnail(centre - width / 2.0, y, width, 0.66 * width);
        QLinearGradient fill(thumbnail.topLeft(), thumbnail.bottomRight());
        QColor top = paletteColour(static_cast<size_t>(i + 1));
        top.setAlphaF(0.6f);
        fill.setColorAt(0, top);
        fill.setColorAt(1, QColor(0, 0, 0, 77));
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(thumbnail, 5, 5);
        if (i == 0) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(m_accent, 2));
            painter.drawRoundedRect(thumbnail.adjusted(1, 1, -1, -1), 4, 4);
        }
        y += thumbnail.height();
        if (m_showTitles) {
            const QRectF bar(centre - 0.35 * width, y + 2, 0.7 * width, titleHeight);
            painter.setPen(Qt::NoPen);
            painter.setBrush(secondary);
            painter.drawRoundedRect(bar, titleHeight / 2.0, titleHeight / 2.0);
            y += 2 + titleHeight;
        }
    }
}

} // namespace corvane
