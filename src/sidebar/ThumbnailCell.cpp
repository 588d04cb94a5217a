#include "sidebar/ThumbnailCell.h"

#include "core/AppIcons.h"
#include "sidebar/SidebarPainting.h"
#include "sidebar/SidebarSymbols.h"
#include "sidebar/StripMotion.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace corvane {

using namespace SidebarPainting;

namespace {

constexpr double thumbnailRadius = 8;
constexpr double titleFontSize = 9;
constexpr double badgeSymbolSize = 7;
constexpr double badgePadding = 3;
constexpr double iconBadgeSide = 16;
constexpr double dimmedOpacity = 0.55;
constexpr double dimmedSaturation = 0.4;

// A symbol on a filled circle, `symbol` points large inside `padding` of circle.
void paintBadge(QPainter& p, const QPointF& topLeft, const QString& name, double symbol, double padding,
                const QColor& fill) {
    const double diameter = symbol + 2 * padding;
    const QRectF circle(topLeft, QSizeF(diameter, diameter));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(circle);
    drawSidebarSymbol(p, name, circle.adjusted(padding, padding, -padding, -padding), Qt::white);
}

} // namespace

ThumbnailCell::ThumbnailCell(WindowInfo window, std::shared_ptr<ThumbnailBox> box, SidebarMetrics metrics,
                             bool isHovered, bool isSelected, QColor accent, AppIcons* icons, QWidget* parent)
    : QWidget(parent), m_window(std::move(window)), m_box(std::move(box)), m_metrics(metrics),
      m_isHovered(isHovered), m_isSelected(isSelected), m_accent(accent), m_icons(icons),
      m_hoverProgress(isHovered ? 1 : 0), m_selectionProgress(isSelected ? 1 : 0) {
    setAttribute(Qt::WA_TranslucentBackground);
    observeBox();
    refreshAccessibleName();
    resize(sizeHint());
}

ThumbnailCell::~ThumbnailCell() = default;

void ThumbnailCell::setWindow(WindowInfo window) {
    if (window == m_window)
        return;
    m_window = std::move(window);
    refreshAccessibleName();
    update();
}

void ThumbnailCell::setBox(std::shared_ptr<ThumbnailBox> box) {
    if (box == m_box)
        return;
    m_box = std::move(box);
    observeBox();
    update();
}

void ThumbnailCell::setMetrics(SidebarMetrics metrics) {
    if (metrics == m_metrics)
        return;
    m_metrics = metrics;
    resize(sizeHint());
    updateGeometry();
    update();
}

void ThumbnailCell::setHovered(bool hovered) {
    if (hovered == m_isHovered)
        return;
    m_isHovered = hovered;
    StripMotion::drive(m_animator, *this, "hoverProgress", hovered ? 1 : 0, StripMotion::hover());
    update();
}

void ThumbnailCell::setSelected(bool selected) {
    if (selected == m_isSelected)
        return;
    m_isSelected = selected;
    StripMotion::drive(m_animator, *this, "selectionProgress", selected ? 1 : 0, StripMotion::mark());
    update();
}

void ThumbnailCell::setAccent(QColor accent) {
    if (accent == m_accent)
        return;
    m_accent = accent;
    update();
}

void ThumbnailCell::observeBox() {
    disconnect(m_boxConnection);
    if (m_box)
        m_boxConnection = connect(m_box.get(), &ThumbnailBox::imageChanged, this, [this] {
            update();
            Q_EMIT pictureChanged();
        });
}

void ThumbnailCell::refreshAccessibleName() {
    setAccessibleName(m_window.appName + QStringLiteral(": ") + displayTitle());
}

QRectF ThumbnailCell::cellRect() const {
    return QRectF(QPointF(bleed, bleed), cellSize(m_metrics));
}

QSize ThumbnailCell::sizeHint() const {
    const QSizeF size = cellSize(m_metrics);
    return QSize(static_cast<int>(std::ceil(size.width())) + 2 * bleed,
                 static_cast<int>(std::ceil(size.height())) + 2 * bleed);
}

QString ThumbnailCell::displayTitle() const {
    return m_window.title.isEmpty() ? m_window.appName : m_window.title;
}

std::optional<QIcon> ThumbnailCell::appIcon() const {
    return m_icons ? m_icons->appIconForWindow(m_window.windowID, m_window.pid, m_window.bundleID)
                   : std::nullopt;
}

bool ThumbnailCell::hasImage() const {
    return m_box && m_box->image().has_value();
}

ThumbnailCell::Content ThumbnailCell::tileContent() const {
    if (!m_metrics.iconsOnly && hasImage()) {
        // A minimised or hidden window's last picture may be empty; its icon says more.
        if (!isDimmed() || m_box->image()->width() > 0)
            return Content::image;
    }
    return appIcon() ? Content::icon : Content::nothing;
}

bool ThumbnailCell::showsIconBadge() const {
    return !m_metrics.iconsOnly && hasImage() && appIcon();
}

std::optional<QString> ThumbnailCell::stateSymbol() const {
    if (m_window.isMinimized)
        return QStringLiteral("arrow.down.right.and.arrow.up.left");
    if (m_window.isAppHidden)
        return QStringLiteral("eye.slash");
    return std::nullopt;
}

void ThumbnailCell::setPresence(double presence) {
    m_presence = std::clamp(presence, 0.0, 1.0);
    update();
}

void ThumbnailCell::setArrivalScale(double scale) {
    m_arrivalScale = scale;
    update();
}

void ThumbnailCell::setHoverProgress(double progress) {
    m_hoverProgress = progress;
    update();
}

void ThumbnailCell::setSelectionProgress(double progress) {
    m_selectionProgress = progress;
    update();
}

ThumbnailCell::Border ThumbnailCell::border() const {
    if (m_isSelected)
        return {m_accent, 3};
    return unselectedBorder();
}

ThumbnailCell::Border ThumbnailCell::unselectedBorder() const {
    if (m_window.isActive)
        return {withAlpha(m_accent, 0.9), 2};
    if (m_isHovered)
        return {withAlpha(Qt::white, 0.45), 1.5};
    return {withAlpha(Qt::white, 0.08), 0.5};
}

ThumbnailCell::Border ThumbnailCell::drawnBorder() const {
    const double t = std::clamp(m_selectionProgress, 0.0, 1.0);
    const Border from = unselectedBorder();
    if (t <= 0)
        return from;
    const Border to{m_accent, 3};
    if (t >= 1)
        return to;
    return {mixed(from.color, to.color, t), from.width + (to.width - from.width) * t};
}

double ThumbnailCell::tileScale() const {
    if (!m_isHovered)
        return 1.0;
    return hoveredScale();
}

double ThumbnailCell::hoveredScale() const {
    return m_metrics.iconsOnly ? 1.06 : 1.045;
}

double ThumbnailCell::drawnScale() const {
    return (1 + (hoveredScale() - 1) * m_hoverProgress) * m_arrivalScale;
}

void ThumbnailCell::paintThumbnailTile(QPainter& p, const QRectF& tile) const {
    QPainterPath clip;
    clip.addRoundedRect(tile, thumbnailRadius, thumbnailRadius);
    p.save();
    p.setClipPath(clip);
    p.fillPath(clip, withAlpha(Qt::black, 0.22));
    switch (tileContent()) {
    case Content::image: {
        const QImage& image = *m_box->image();
        const QRectF room = tile.adjusted(2, 2, -2, -2);
        if (!image.isNull()) {
            QSizeF fitted = QSizeF(image.size()).scaled(room.size(), Qt::KeepAspectRatio);
            QRectF target(QPointF(), fitted);
            target.moveCenter(room.center());
            p.drawImage(target, image);
        }
        break;
    }
    case Content::icon: {
        const double side = 0.55 * tile.height();
        QRectF target(0, 0, side, side);
        target.moveCenter(tile.center());
        appIcon()->paint(&p, target.toAlignedRect());
        break;
    }
    case Content::nothing:
        break;
    }
    p.restore();

    if (showsIconBadge()) {
        const QRectF badge(tile.left() + 3, tile.bottom() - 3 - iconBadgeSide, iconBadgeSide, iconBadgeSide);
        drawShadow(p, badge.adjusted(2, 2, -2, -2), 3, 0.45, 2, QPointF(0, 1));
        appIcon()->paint(&p, badge.toAlignedRect());
    }
    const double badgeDiameter = badgeSymbolSize + 2 * badgePadding;
    if (std::optional<QString> symbol = stateSymbol()) {
        paintBadge(p, QPointF(tile.right() - 3 - badgeDiameter, tile.top() + 3), *symbol, badgeSymbolSize,
                   badgePadding, withAlpha(Qt::black, 0.55));
    }
    if (m_window.isPinned) {
        paintBadge(p, QPointF(tile.left() + 3, tile.top() + 3), QStringLiteral("pin.fill"), badgeSymbolSize,
                   badgePadding, m_accent);
    }
    const Border line = drawnBorder();
    strokeInside(p, tile, thumbnailRadius, line.color, line.width);
}

void ThumbnailCell::paintIconTile(QPainter& p, const QRectF& tile) const {
    const double side = tile.width();
    const double radius = 0.26 * side;
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(primary(*this), m_isHovered ? 0.14 : 0.07));
    p.drawRoundedRect(tile, radius, radius);
    if (std::optional<QIcon> icon = appIcon()) {
        QRectF target(0, 0, 0.78 * side, 0.78 * side);
        target.moveCenter(tile.center());
        icon->paint(&p, target.toAlignedRect());
    }
    if (isDimmed()) {
        p.setPen(Qt::NoPen);
        p.setBrush(secondary(*this));
        p.drawEllipse(QRectF(tile.right() - 7 + 2, tile.top() - 2, 7, 7));
    }
    if (m_window.isPinned) {
        const double symbol = 6.5;
        const double padding = 2.5;
        paintBadge(p, QPointF(tile.left() - 2, tile.top() - 2), QStringLiteral("pin.fill"), symbol, padding,
                   m_accent);
    }
    const Border line = drawnBorder();
    strokeInside(p, tile, radius, line.color, line.width);
}

ThumbnailCell::LayerKey ThumbnailCell::layerKey(QSize pixels, double ratio) const {
    LayerKey key;
    key.pixels = pixels;
    key.ratio = ratio;
    key.iconsOnly = m_metrics.iconsOnly;
    key.hasImage = hasImage();
    if (key.hasImage)
        key.image = m_box->image()->cacheKey();
    if (std::optional<QIcon> icon = appIcon())
        key.icon = icon->cacheKey();
    key.border = drawnBorder();
    key.hovered = m_isHovered;
    key.minimized = m_window.isMinimized;
    key.hidden = m_window.isAppHidden;
    key.pinned = m_window.isPinned;
    key.accent = m_accent.rgba();
    key.text = primary(*this).rgba();
    return key;
}

const QImage& ThumbnailCell::tileLayer(const QRectF& tile, double margin) {
    const double ratio = devicePixelRatioF();
    const QSize pixels = (tile.size() + QSizeF(2 * margin, 2 * margin)).toSize() * ratio;
    const LayerKey key = layerKey(pixels, ratio);
    if (!m_layer.isNull() && key == m_layerKey)
        return m_layer;
    QImage layer(pixels, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF local(QPointF(margin, margin), tile.size());
        if (m_metrics.iconsOnly)
            paintIconTile(lp, local);
        else
            paintThumbnailTile(lp, local);
    }
    if (!m_metrics.iconsOnly && isDimmed())
        adjustSaturation(layer, dimmedSaturation);
    m_layer = std::move(layer);
    m_layerKey = key;
    return m_layer;
}

void ThumbnailCell::paintEvent(QPaintEvent*) {
    const QRectF cell = cellRect();
    const double w = m_metrics.thumbWidth;
    const double tileHeight = m_metrics.tileHeight();
    const double tileWidth = m_metrics.iconsOnly ? tileHeight : w;
    const QRectF tile(cell.left() + (w - tileWidth) / 2, cell.top(), tileWidth, tileHeight);

    // The tile and its badges are drawn apart first, so that dimming and scaling treat them as one.
    const double margin = bleed;
    const QImage& layer = tileLayer(tile, margin);

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.save();
    p.setOpacity(m_presence);
    // The whole cell grows about its centre as it arrives; the tile grows about its own under
    // the pointer.
    p.translate(cell.center());
    p.scale(m_arrivalScale, m_arrivalScale);
    p.translate(-cell.center());
    p.save();
    const double scale = 1 + (hoveredScale() - 1) * m_hoverProgress;
    p.translate(tile.center());
    p.scale(scale, scale);
    p.translate(-tile.center());
    if (!m_metrics.iconsOnly) {
        // The shadow deepens with the hover, as far as it has come.
        const double t = std::clamp(m_hoverProgress, 0.0, 1.0);
        drawCachedShadow(p, tile, thumbnailRadius, 0.15 + 0.20 * t, 2 + 4 * t, QPointF(0, 1 + 2 * t));
    }
    p.setOpacity(m_presence * (isDimmed() ? dimmedOpacity : 1.0));
    p.drawImage(QPointF(tile.left() - margin, tile.top() - margin), layer);
    p.restore();

    if (m_metrics.showTitles) {
        QFont font = this->font();
        font.setPixelSize(static_cast<int>(titleFontSize));
        font.setWeight(QFont::Medium);
        p.setFont(font);
        p.setPen(secondary(*this));
        const QRectF row(cell.left(), tile.bottom() + SidebarMetrics::titleSpacing, w,
                         SidebarMetrics::titleRowHeight);
        const QString text = QFontMetricsF(font).elidedText(displayTitle(), Qt::ElideRight, row.width());
        p.drawText(row, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    p.restore();
}

} // namespace corvane
