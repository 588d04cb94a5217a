#include "shelf/WindowDragHandle.h"

#include <QMouseEvent>
#include <QWindow>

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
    QWidget* top = window();
    // The window manager moves the window best (it snaps and keeps it on screen); a desktop that
    // cannot gets the window moved here instead.
    QWindow* handle = top->windowHandle();
    m_manual = !(handle && handle->startSystemMove());
    m_grabOffset = event->globalPosition().toPoint() - top->frameGeometry().topLeft();
    event->accept();
}

void WindowDragHandle::mouseMoveEvent(QMouseEvent* event) {
    if (m_manual && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - m_grabOffset);
    event->accept();
}

void WindowDragHandle::mouseReleaseEvent(QMouseEvent* event) {
    m_manual = false;
    event->accept();
}

} // namespace corvane
