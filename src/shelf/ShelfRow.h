#pragma once

#include "shelf/ShelfServices.h"
#include "shelf/ShelfSource.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QWidget>

#include <memory>
#include <optional>

class QMenu;

namespace corvane {

// The strip's compact row for one shelf source: its symbol and name, the Tray's count and a dot
// while the source is open in a floating panel. A click opens the source's file panel beside the
// strip; files dropped on the Tray row go into the Tray; the context menu offers the floating
// panel, the folder in the file manager and emptying the Tray. Exactly `width` wide and 18 high.
class ShelfRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int rowHeight = 18;

    ShelfRow(ShelfSource source, const ShelfServices& services, QColor accent, qreal width,
             QWidget* parent = nullptr);

    const ShelfSource& source() const { return m_source; }
    void setAccent(const QColor& accent);
    QColor accent() const { return m_accent; }
    void setRowWidth(qreal width);

    // "Tray", or the folder's display name.
    QString name() const;
    // The name as drawn: cut with an ellipsis at the end where it does not fit, never wrapped.
    QString shownName() const;
    // The symbol shown before the name.
    QString symbolName() const;
    // The Tray's entry count while it holds any; none for folders and an empty Tray.
    std::optional<qsizetype> badgeCount() const;
    bool showsFloatingDot() const;
    bool isHovered() const { return m_hovered; }
    bool isTargeted() const { return m_targeted; }

    // Built afresh each time it opens, from the state at that moment.
    std::unique_ptr<QMenu> makeContextMenu();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Layout {
        QRectF symbol;
        QRectF name;
        std::optional<QRectF> badge;
        QString badgeText;
        std::optional<QRectF> dot;
    };
    Layout layout() const;
    QFont nameFont() const;
    QFont badgeFont() const;
    void setHovered(bool hovered);
    void setTargeted(bool targeted);
    void toggleFloating();

    ShelfSource m_source;
    ShelfServices m_services;
    QColor m_accent;
    qreal m_width;
    bool m_hovered = false;
    bool m_targeted = false;
    bool m_pressed = false;
};

} // namespace corvane
