#pragma once

#include <QPoint>
#include <QRect>

#include <QEvent>
#include <QObject>

class QWidget;

namespace corvane::testing {

class XTestInput;

// Counts the events of one type an object receives while the counter lives.
class EventCounter : public QObject {
public:
    EventCounter(QObject& watched, QEvent::Type type, int& count) : m_type(type), m_count(count) {
        watched.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == m_type)
            ++m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    int& m_count;
};

// A point on an empty part of a panel's header, in screen coordinates, where a press lands on its
// drag handle; an invalid point when there is none.
QPoint emptyHeaderPoint(const QWidget& panel);
// Once the panel stands still, presses on an empty part of its header, drags the pointer `by` in two moves (a
// short one past the drag distance, then the rest) and lets go, the rest once the panel follows the pointer.
// A test failure where the panel does not end `by` away from where it stood. `from` receives the frame the
// panel stood on before the drag.
void dragHeader(const XTestInput& input, const QWidget& panel, QPoint by, QRect* from = nullptr);

} // namespace corvane::testing
