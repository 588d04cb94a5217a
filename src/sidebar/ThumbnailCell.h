#pragma once

#include "sidebar/SidebarMetrics.h"
#include "windows/ThumbnailBox.h"
#include "windows/WindowInfo.h"

#include <QColor>
#include <QIcon>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

namespace corvane {

class Animator;
class AppIcons;

// One window of the strip: its live thumbnail (or, with icons only, its program's icon on a tile)
// with badges for pinned, minimised and hidden windows, a border marking the hovered, frontmost
// and switcher-selected window, and its title underneath when titles show. It only draws; the
// strip attaches the gestures. A new picture in its box redraws this cell alone.
//
// The widget is larger than the cell by `bleed` on every side, so that the hover growth and the
// shadow are not cut off; `cellRect()` is the cell itself.
class ThumbnailCell : public QWidget {
    Q_OBJECT
    // What is drawn on the way to the state: the cell's opacity and growth as it comes and goes,
    // and how far the hover and the switcher's mark have come (0 to 1; a spring may pass 1).
    Q_PROPERTY(double presence READ presence WRITE setPresence)
    Q_PROPERTY(double arrivalScale READ arrivalScale WRITE setArrivalScale)
    Q_PROPERTY(double hoverProgress READ hoverProgress WRITE setHoverProgress)
    Q_PROPERTY(double selectionProgress READ selectionProgress WRITE setSelectionProgress)
public:
    static constexpr int bleed = 4;

    // `box` is none when thumbnails are off; `icons` may be null (no icons then).
    ThumbnailCell(WindowInfo window, std::shared_ptr<ThumbnailBox> box, SidebarMetrics metrics,
                  bool isHovered, bool isSelected, QColor accent, AppIcons* icons = nullptr,
                  QWidget* parent = nullptr);
    ~ThumbnailCell() override;

    const WindowInfo& window() const { return m_window; }
    void setWindow(WindowInfo window);
    const std::shared_ptr<ThumbnailBox>& box() const { return m_box; }
    void setBox(std::shared_ptr<ThumbnailBox> box);
    const SidebarMetrics& metrics() const { return m_metrics; }
    void setMetrics(SidebarMetrics metrics);
    bool isHovered() const { return m_isHovered; }
    void setHovered(bool hovered);
    bool isSelected() const { return m_isSelected; }
    void setSelected(bool selected);
    QColor accent() const { return m_accent; }
    void setAccent(QColor accent);
    // Hover and selection changes run through `animator` from now on (none: they show at once).
    void setAnimator(Animator* animator) { m_animator = animator; }

    double presence() const { return m_presence; }
    void setPresence(double presence);
    double arrivalScale() const { return m_arrivalScale; }
    void setArrivalScale(double scale);
    double hoverProgress() const { return m_hoverProgress; }
    void setHoverProgress(double progress);
    double selectionProgress() const { return m_selectionProgress; }
    void setSelectionProgress(double progress);

    // The cell's size without the bleed: the column's width by the cell height.
    static QSizeF cellSize(const SidebarMetrics& metrics) {
        return {metrics.thumbWidth, metrics.cellHeight()};
    }
    // The cell inside the widget.
    QRectF cellRect() const;
    QSize sizeHint() const override;

    // --- What the cell shows, as drawn ---
    enum class Content { image, icon, nothing };
    struct Border {
        QColor color;
        double width = 0;
        bool operator==(const Border&) const = default;
    };
    // The title line: the window's title, or its program's name when the title is empty.
    QString displayTitle() const;
    Content tileContent() const;
    // The small program icon at the bottom-leading corner of a thumbnail.
    bool showsIconBadge() const;
    // The symbol of the top-trailing badge: minimised, else hidden, else none.
    std::optional<QString> stateSymbol() const;
    Border border() const;
    // The border as drawn now: on its way between the unselected and the selected border.
    Border drawnBorder() const;
    bool isDimmed() const { return m_window.isMinimized || m_window.isAppHidden; }
    double tileScale() const;
    // The scale drawn now: the hover's growth as far as it has come, times the arrival's.
    double drawnScale() const;

Q_SIGNALS:
    // Its window's picture changed (the cell repaints itself).
    void pictureChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Border unselectedBorder() const;
    double hoveredScale() const;
    void observeBox();
    void refreshAccessibleName();
    std::optional<QIcon> appIcon() const;
    bool hasImage() const;
    // Everything the tile's layer is drawn from: the layer is drawn again only when it changes.
    struct LayerKey {
        QSize pixels;
        double ratio = 0;
        bool iconsOnly = false;
        bool hasImage = false;
        qint64 image = 0;
        qint64 icon = 0;
        Border border;
        bool hovered = false;
        bool minimized = false;
        bool hidden = false;
        bool pinned = false;
        QRgb accent = 0;
        QRgb text = 0;
        bool operator==(const LayerKey&) const = default;
    };
    LayerKey layerKey(QSize pixels, double ratio) const;
    const QImage& tileLayer(const QRectF& tile, double margin);
    void paintThumbnailTile(QPainter& painter, const QRectF& tile) const;
    void paintIconTile(QPainter& painter, const QRectF& tile) const;

    WindowInfo m_window;
    std::shared_ptr<ThumbnailBox> m_box;
    SidebarMetrics m_metrics;
    bool m_isHovered;
    bool m_isSelected;
    QColor m_accent;
    AppIcons* m_icons;
    QMetaObject::Connection m_boxConnection;
    Animator* m_animator = nullptr;
    double m_presence = 1;
    double m_arrivalScale = 1;
    double m_hoverProgress;
    double m_selectionProgress;
    LayerKey m_layerKey;
    QImage m_layer;
};

} // namespace corvane
