#pragma once

#include "clipboard/ClipItem.h"

#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <optional>

namespace corvane {

// One entry of the strip as a 210 x 150 card: a preview by kind, the caption in a dark capsule
// at the bottom, a border that shows the selection and the pointer. A click picks it, a drag
// takes it out, the context menu offers the rest.
class ClipCard : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize cardSize{210, 150};

    struct Actions {
        std::function<void()> choose;
        std::function<void()> copyOnly;
        std::function<void()> remove;
    };

    ClipCard(ClipItem item, bool selected, QColor accent, std::optional<QIcon> sourceIcon, Actions actions,
             QWidget* parent = nullptr);

    const ClipItem& item() const { return m_item; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void paintContent(QPainter& painter, const QRectF& bounds);
    void paintFooter(QPainter& painter, const QRectF& bounds);
    void startDrag();

    ClipItem m_item;
    bool m_selected;
    QColor m_accent;
    std::optional<QIcon> m_sourceIcon;
    Actions m_actions;
    QPixmap m_preview;
    bool m_hovered = false;
    std::optional<QPoint> m_pressedAt;
};

} // namespace corvane
