#pragma once

#include "clipboard/ClipItem.h"

#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <optional>

namespace corvane {

class Animator;

// One entry of the strip as a 210 x 150 card: a preview by kind, the caption in a dark capsule
// at the bottom, a border that shows the selection and the pointer. A click picks it, a drag
// takes it out, the context menu offers the rest. Under the pointer the card grows a little about
// its centre, into a margin the widget keeps around it for that.
class ClipCard : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double hoverScale READ hoverScale WRITE setHoverScale)
public:
    static constexpr QSize cardSize{210, 150};
    static constexpr double hoveredScale = 1.03;
    // Room on every side for the grown card.
    static constexpr int growthRoom = 4;
    // The widget: the card and the room around it.
    static constexpr QSize widgetSize{cardSize.width() + 2 * growthRoom, cardSize.height() + 2 * growthRoom};

    struct Actions {
        std::function<void()> choose;
        std::function<void()> copyOnly;
        std::function<void()> remove;
    };

    // `preview` is the picture an image entry shows, already made to fill the card.
    ClipCard(ClipItem item, bool selected, QColor accent, std::optional<QIcon> sourceIcon, QPixmap preview,
             Actions actions, Animator& animator, QWidget* parent = nullptr);

    const ClipItem& item() const { return m_item; }
    // A picture entry's preview, once it is made.
    void setPreview(const QPixmap& preview);
    const QPixmap& preview() const { return m_preview; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    void setAccent(const QColor& accent);
    bool isHovered() const { return m_hovered; }
    // Whether the pointer is over the card; the toolkit tells of it only as the pointer moves.
    void setHovered(bool hovered);
    // As the card is first shown: not hovered, at its own size.
    void resetHover();
    double hoverScale() const { return m_hoverScale; }
    void setHoverScale(double scale);
    // Where the card itself lies in the widget.
    static QRect cardRect() { return QRect(QPoint(growthRoom, growthRoom), cardSize); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void paintCard(QPainter& painter);
    void paintContent(QPainter& painter, const QRectF& bounds);
    void paintFooter(QPainter& painter, const QRectF& bounds);
    void startDrag();
    // The card is drawn again from scratch at its next paint.
    void redraw();

    ClipItem m_item;
    bool m_selected;
    QColor m_accent;
    std::optional<QIcon> m_sourceIcon;
    Actions m_actions;
    QPixmap m_preview;
    Animator& m_animator;
    bool m_hovered = false;
    double m_hoverScale = 1.0;
    std::optional<QPoint> m_pressedAt;
    // The card as last drawn at its own size, kept while it is in the row: the strip repaints all
    // of itself each time it opens, and text laid out afresh would make it wait.
    QPixmap m_picture;
};

} // namespace corvane
