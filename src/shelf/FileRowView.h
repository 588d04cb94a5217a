#pragma once

#include "shelf/FileListActions.h"
#include "shelf/ShelfFile.h"

#include <QColor>
#include <QIcon>
#include <QPoint>
#include <QWidget>

#include <optional>

namespace corvane {

class FileShelf;
class ShelfListModel;
class SystemShell;

// One row of a file list: icon, name and age on the selection or hover colour. It takes the
// row's mouse input: hover, clicks into selection (Shift ranges, Ctrl toggles, a press on a row
// of a multi-selection keeps it for dragging), double click opens, a drag of more than 3 pixels
// carries the selected files out as files, and the right button opens the file menu.
class FileRowView : public QWidget {
    Q_OBJECT
public:
    static constexpr int rowHeight = 24;
    static constexpr qreal dragThreshold = 3.0;

    FileRowView(ShelfFile file, ShelfListModel& model, FileShelf& shelf, SystemShell& shell,
                FileListActions actions, QWidget* parent = nullptr);

    const ShelfFile& file() const { return m_file; }
    // The file's path: what the row stands for while the list changes around it.
    const QString& id() const { return m_id; }
    // The file shown: the same path listed again, or another file taking this row.
    void setFile(ShelfFile file);
    void setAccent(const QColor& accent);
    bool isSelected() const;
    bool isHovered() const;
    QString ageLabel() const;

    QSize sizeHint() const override { return {200, rowHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void startDrag();

    ShelfFile m_file;
    QString m_id;
    ShelfListModel& m_model;
    FileShelf& m_shelf;
    SystemShell& m_shell;
    FileListActions m_actions;
    QColor m_accent;
    QIcon m_icon;
    // Where the press that may become a drag began; one drag per press.
    std::optional<QPoint> m_pressAt;
};

} // namespace corvane
