#include "shelf/WindowDragHandle.h"

#include <QApplication>
#include <QMouseEvent>

namespace corvane {

WindowDragHandle::WindowDragHandle(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::ArrowCursor);
}

void WindowDragHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = false;
    m_pressed = true;
    m_pressedAt = event->globalPosition().toPoint();
    m_windowAt = window()->pos();
    event->accept();
}

// The window is moved here, by the pointer's way since the press, and only once the pointer has
// gone past the drag distance with the button held: a click moves nothing. The window manager is
// not asked to move it: it does not move a window it does not manage (the clipboard strip), and
// a move it is asked for on a press it then sees released before it took the pointer follows the
// pointer with no button held, swallowing every click.
void WindowDragHandle::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)) {
        m_pressed = m_dragging = false;
        return;
    }
    const QPoint way = event->globalPosition().toPoint() - m_pressedAt;
    if (!m_dragging && way.manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    window()->move(m_windowAt + way);
}

void WindowDragHandle::mouseReleaseEvent(QMouseEvent* event) {
    m_pressed = m_dragging = false;
    event->accept();
}

} // namespace corvane
