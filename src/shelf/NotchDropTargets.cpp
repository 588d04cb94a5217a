#include "shelf/NotchDropTargets.h"

#include "runtime/Log.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

#include <algorithm>

namespace corvane {

void NotchClickView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), QColor::fromRgbF(0, 0, 0, 0.01f));
}

void NotchClickView::mousePressEvent(QMouseEvent*) {
    if (onClick)
        onClick();
}

DropTargetView::DropTargetView(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

QList<QUrl> DropTargetView::fileURLs(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    const bool allFiles =
        std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
    return allFiles ? urls : QList<QUrl>{};
}

void DropTargetView::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> files = fileURLs(event->mimeData());
    qCInfo(lcApp, "Notch drop: drag entered (%ld files)", long(files.size()));
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    if (onTargeted)
        onTargeted(true);
    if (onMove)
        onMove(mapToGlobal(event->position()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropTargetView::dragMoveEvent(QDragMoveEvent* event) {
    if (onMove)
        onMove(mapToGlobal(event->position()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropTargetView::dragLeaveEvent(QDragLeaveEvent*) {
    if (onTargeted)
        onTargeted(false);
}

void DropTargetView::dropEvent(QDropEvent* event) {
    const QList<QUrl> files = fileURLs(event->mimeData());
    qCInfo(lcApp, "Notch drop: performed with %ld files", long(files.size()));
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    if (onDrop)
        onDrop(files);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropTargetView::mousePressEvent(QMouseEvent*) {
    if (onClick)
        onClick();
}

} // namespace corvane
