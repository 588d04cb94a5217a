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
    return colorFromHex(workspacePalette()[index % workspacePalette().size()]);
}

double rowHeight(double width, double titles) {
    return 0.66 * width + titles * (2 + titleHeight);
}

} // namespace

SidebarMiniPreview::SidebarMiniPreview(Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), m_scheduler(scheduler), m_width(0.3, 0.8, 0.05, thumbnailWidth(ThumbnailSize::medium)),
      m_titles(0.3, 0.8, 0.002, 0), m_accent(brandColor()) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SidebarMiniPreview::setLook(ThumbnailSize size, bool showTitles, const QColor& accent) {
    if (size == m_size && showTitles == m_showTitles && accent == m_accent)
        return;
    m_size = size;
    m_showTitles = showTitles;
    m_accent = accent;
    m_width.setTarget(thumbnailWidth(size));
    m_titles.setTarget(showTitles ? 1 : 0);
    if (!m_frames.isValid() && !(m_width.isSettled() && m_titles.isSettled())) {
        m_lastFrame = m_scheduler.now();
        m_frames = m_scheduler.scheduleRepeating(Seconds(1.0 / 60), Seconds(0), [this] { step(); });
    }
    updateGeometry();
    update();
}

void SidebarMiniPreview::step() {
    const Instant now = m_scheduler.now();
    const double elapsed = std::chrono::duration<double>(now - m_lastFrame).count();
    m_lastFrame = now;
    m_width.advance(elapsed);
    m_titles.advance(elapsed);
    if (m_width.isSettled() && m_titles.isSettled())
        m_frames.invalidate();
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
    // Room for the larger of the look drawn and the look it is heading for, so that nothing is cut.
    const double width = std::max(m_width.value(), m_width.target());
    const double titles = std::clamp(std::max(m_titles.value(), m_titles.target()), 0.0, 1.0);
    const double content = dot + 2 + rows * (spacing + rowHeight(width, titles));
    return {static_cast<int>(std::ceil(std::max(width, 3.0 * dot + 2 * 4))) + 2 * padding,
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

    const double width = m_width.value();
    const double titles = std::clamp(m_titles.value(), 0.0, 1.0);
    QColor secondary = palette().color(QPalette::WindowText);
    secondary.setAlphaF(static_cast<float>(0.4 * 0.6 * titles));
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
        if (titles > 0) {
            const QRectF bar(centre - 0.35 * width, y + 2, 0.7 * width, titleHeight);
            painter.setPen(Qt::NoPen);
            painter.setBrush(secondary);
            painter.drawRoundedRect(bar, titleHeight / 2.0, titleHeight / 2.0);
            y += (2 + titleHeight) * titles;
        }
    }
}

} // namespace corvane
