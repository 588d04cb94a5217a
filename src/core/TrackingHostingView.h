#pragma once

#include <QPointF>
#include <QWidget>

#include <functional>
#include <optional>

namespace corvane {

// Hosts a panel's content and reports where the pointer is over it, also while the product is
// not the active application: a point in the view (origin top left, y down) when the pointer
// enters or moves anywhere over the view or its content, and none once when it leaves.
class TrackingHostingView : public QWidget {
    Q_OBJECT
public:
    // The content fills the view; the view takes it over.
    explicit TrackingHostingView(QWidget* content = nullptr, QWidget* parent = nullptr);
    ~TrackingHostingView() override;

    // Set by the owner; called on the main thread.
    std::function<void(std::optional<QPointF>)> onMouse;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report(std::optional<QPointF> point);
    void setWatchingMoves(bool watching);

    bool m_inside = false;
    bool m_watchingMoves = false;
    // The last move reported, so that one move passed up from a child to its parents counts once.
    std::optional<std::pair<quint64, QPointF>> m_lastMove;
};

} // namespace corvane
