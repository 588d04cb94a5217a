#pragma once

#include <QList>
#include <QUrl>
#include <QWidget>

#include <functional>

class QMimeData;

namespace corvane {

// The notch panel's content at rest: an almost invisible surface, so that clicks on the notch
// land here and not on whatever lies below.
class NotchClickView : public QWidget {
    Q_OBJECT
public:
    explicit NotchClickView(QWidget* parent = nullptr) : QWidget(parent) {}
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// Takes drops of files onto the card and reports targeting, pointer moves (in screen
// coordinates), drops and clicks. Drags without files are refused.
class DropTargetView : public QWidget {
    Q_OBJECT
public:
    explicit DropTargetView(QWidget* parent = nullptr);

    std::function<void(bool)> onTargeted;
    std::function<void(QPointF)> onMove;
    std::function<void(QList<QUrl>)> onDrop;
    std::function<void()> onClick;

    // The local files a drag offers; empty when it offers anything else as well or nothing.
    static QList<QUrl> fileURLs(const QMimeData* data);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace corvane
