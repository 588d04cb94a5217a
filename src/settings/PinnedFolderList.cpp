#include "settings/PinnedFolderList.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace corvane {

const QString PinnedFolderList::mimeType = QStringLiteral("application/x-corvane-pinned-folder");

PinnedFolderList::PinnedFolderList(QWidget* parent) : QWidget(parent), m_layout(new QVBoxLayout(this)) {
    m_layout->setContentsMargins(0, 2, 0, 2);
    m_layout->setSpacing(6);
    setAcceptDrops(true);
}

void PinnedFolderList::setRows(const QList<QWidget*>& rows) {
    // Later: the old rows may be in the middle of handling a click or a drag of their own.
    for (QWidget* row : std::as_const(m_rows)) {
        m_layout->removeWidget(row);
        row->removeEventFilter(this);
        row->hide();
        row->deleteLater();
    }
    m_rows = rows;
    m_pressedRow = -1;
    for (QWidget* row : rows) {
        m_layout->addWidget(row);
        row->installEventFilter(this);
        row->setCursor(Qt::OpenHandCursor);
    }
}

QMimeData* PinnedFolderList::dragData(int offset) const {
    auto* data = new QMimeData;
    // Which list as well as which row: a row of another window's list means nothing here.
    data->setData(mimeType,
                  QByteArray::number(reinterpret_cast<quintptr>(this)) + ' ' + QByteArray::number(offset));
    return data;
}

std::optional<int> PinnedFolderList::draggedRow(const QMimeData& data) const {
    const QList<QByteArray> parts = data.data(mimeType).split(' ');
    if (parts.size() != 2 || parts[0] != QByteArray::number(reinterpret_cast<quintptr>(this)))
        return std::nullopt;
    bool ok = false;
    const int offset = parts[1].toInt(&ok);
    if (!ok || offset < 0 || offset >= m_rows.size())
        return std::nullopt;
    return offset;
}

int PinnedFolderList::destinationAt(int y) const {
    for (int i = 0; i < m_rows.size(); ++i) {
        if (y < m_rows[i]->geometry().center().y())
            return i;
    }
    return static_cast<int>(m_rows.size());
}

bool PinnedFolderList::eventFilter(QObject* watched, QEvent* event) {
    const int offset = static_cast<int>(m_rows.indexOf(static_cast<QWidget*>(watched)));
    if (offset < 0)
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton) {
            m_pressedRow = offset;
            m_pressAt = press->globalPosition().toPoint();
        }
    } else if (event->type() == QEvent::MouseMove && m_pressedRow == offset) {
        const auto* move = static_cast<QMouseEvent*>(event);
        const bool far = (move->globalPosition().toPoint() - m_pressAt).manhattanLength() >=
                         QApplication::startDragDistance();
        if ((move->buttons() & Qt::LeftButton) && far) {
            m_pressedRow = -1;
            startDrag(offset);
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        m_pressedRow = -1;
    }
    return false;
}

void PinnedFolderList::startDrag(int offset) {
    QWidget* row = m_rows[offset];
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData(offset));
    drag->setPixmap(row->grab());
    drag->setHotSpot(row->mapFromGlobal(m_pressAt));
    drag->exec(Qt::MoveAction);
}

void PinnedFolderList::setIndicator(int destination) {
    if (destination == m_indicator)
        return;
    m_indicator = destination;
    update();
}

void PinnedFolderList::dragEnterEvent(QDragEnterEvent* event) {
    if (!draggedRow(*event->mimeData()))
        return event->ignore();
    event->acceptProposedAction();
    setIndicator(destinationAt(event->position().toPoint().y()));
}

void PinnedFolderList::dragMoveEvent(QDragMoveEvent* event) {
    if (!draggedRow(*event->mimeData()))
        return event->ignore();
    event->acceptProposedAction();
    setIndicator(destinationAt(event->position().toPoint().y()));
}

void PinnedFolderList::dragLeaveEvent(QDragLeaveEvent* event) {
    setIndicator(-1);
    QWidget::dragLeaveEvent(event);
}

void PinnedFolderList::dropEvent(QDropEvent* event) {
    setIndicator(-1);
    const std::optional<int> from = draggedRow(*event->mimeData());
    if (!from)
        return event->ignore();
    event->acceptProposedAction();
    const int destination = destinationAt(event->position().toPoint().y());
    // Dropped where it stands: nothing moves.
    if (destination == *from || destination == *from + 1)
        return;
    // After the drag has ended: the move rebuilds the rows, the dragged one among them.
    QMetaObject::invokeMethod(
        this,
        [this, from = *from, destination] {
            if (onMove)
                onMove(from, destination);
        },
        Qt::QueuedConnection);
}

void PinnedFolderList::paintEvent(QPaintEvent*) {
    if (m_indicator < 0 || m_rows.isEmpty())
        return;
    const int y = m_indicator < m_rows.size() ? m_rows[m_indicator]->geometry().top() - 3
                                              : m_rows.last()->geometry().bottom() + 3;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawLine(0, y, width(), y);
}

} // namespace corvane
