#pragma once

#include <QList>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class QMimeData;
class QVBoxLayout;

namespace corvane {

// The rows of the pinned folders, in their order, reordered by dragging a row to where it should
// stand; a line shows where it would land. A drop calls `onMove` with the row's offset and the
// destination offset (the row it lands before, or the count for the end), as
// `FileShelf::moveFolders` takes them. Presses on a row's buttons stay the buttons'.
class PinnedFolderList : public QWidget {
    Q_OBJECT
public:
    static const QString mimeType; // "application/x-corvane-pinned-folder"

    explicit PinnedFolderList(QWidget* parent = nullptr);

    // Replaces the rows; the list owns them.
    void setRows(const QList<QWidget*>& rows);
    const QList<QWidget*>& rows() const { return m_rows; }
    // What a drag of the row at `offset` carries: which list and which row.
    QMimeData* dragData(int offset) const;
    // Where a drop at `y` (in the list's coordinates) puts a row: before the first row whose
    // middle lies below `y`, else at the end.
    int destinationAt(int y) const;

    std::function<void(int from, int destination)> onMove;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<int> draggedRow(const QMimeData& data) const;
    void startDrag(int offset);
    void setIndicator(int destination);

    QVBoxLayout* m_layout;
    QList<QWidget*> m_rows;
    int m_pressedRow = -1;
    QPoint m_pressAt;
    int m_indicator = -1; // the destination the line marks; -1 for none
};

} // namespace corvane
