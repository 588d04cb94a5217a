#pragma once

#include <QPoint>
#include <QWidget>

namespace corvane {

// An area that moves its borderless window when pressed and dragged, laid behind a panel's
// header; the header's buttons still take their own clicks.
class WindowDragHandle : public QWidget {
    Q_OBJECT
public:
    explicit WindowDragHandle(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Set while the window follows the pointer itself, where the window manager cannot move it.
    bool m_manual = false;
    QPoint m_grabOffset;
};

} // namespace corvane
