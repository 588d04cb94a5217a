#include "core/TrackingHostingView.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace corvane {

TrackingHostingView::TrackingHostingView(QWidget* content, QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (content)
        layout->addWidget(content);
}

TrackingHostingView::~TrackingHostingView() {
    setWatchingMoves(false);
}

void TrackingHostingView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    report(event->position());
    setWatchingMoves(true);
}

void TrackingHostingView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setWatchingMoves(false);
    // Each exit is reported once, however many leave events Qt delivers for it.
    if (m_inside)
        report(std::nullopt);
}

// Qt drops a move over a child that does not track the mouse before its parents see it; only
// the application's event filters still do. So while the pointer is inside, the view watches
// there for moves over itself and everything it holds.
bool TrackingHostingView::eventFilter(QObject* watched, QEvent* event) {
    // Qt sends a window's leave on to the widget that last had the pointer; one deleted meanwhile
    // (a cell laid out anew, a menu closed) leaves only the window itself told.
    if (event->type() == QEvent::Leave && watched == window() && watched != this) {
        setWatchingMoves(false);
        if (m_inside)
            report(std::nullopt);
        return false;
    }
    if (event->type() != QEvent::MouseMove || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget))
        return false;
    const auto* move = static_cast<QMouseEvent*>(event);
    const std::pair<quint64, QPointF> identity(move->timestamp(), move->globalPosition());
    if (m_lastMove == identity)
        return false;
    m_lastMove = identity;
    report(widget == this ? move->position() : QPointF(widget->mapTo(this, move->position())));
    return false;
}

void TrackingHostingView::setWatchingMoves(bool watching) {
    if (watching == m_watchingMoves || !QCoreApplication::instance())
        return;
    m_watchingMoves = watching;
    m_lastMove.reset();
    if (watching)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

void TrackingHostingView::report(std::optional<QPointF> point) {
    m_inside = point.has_value();
    if (onMouse)
        onMouse(point);
}

} // namespace corvane
