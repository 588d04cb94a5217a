#pragma once

#include <QPoint>
#include <QWidget>

namespace corvane {

// An area that moves its borderless window when pressed and dragged, laid behind a panel's
// header; the header's buttons still take their own clicks. A click that does not move the
// pointer past the drag distance moves nothing.
class WindowDragHandle : public QWidget {
    Q_OBJECT
public:
    explicit WindowDragHandle(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The primary button went down on the handle and is held.
    bool m_pressed = false;
    // The pointer has gone past the drag distance since: the window follows it.
    bool m_dragging = false;
    // Where the button went down, and where the window stood then, in screen coordinates.
    QPoint m_pressedAt;
    QPoint m_windowAt;
};

} // namespace corvane
