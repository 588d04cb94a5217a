#pragma once

#include "shelf/FileListActions.h"

#include <QColor>
#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QScrollArea;
class QVBoxLayout;

namespace corvane {

class FileListHeader;
class FileRowView;
class FileShelf;
class ShelfListModel;
class SystemShell;

// The whole content of a file panel: header, search field, the rows or the empty state, a footer
// while several files are selected, and, on a Tray list, a drop target that adds local files.
class FileListView : public QWidget {
    Q_OBJECT
public:
    FileListView(ShelfListModel& model, FileShelf& shelf, SystemShell& shell, bool isFloating,
                 FileListActions actions, QColor accent, QWidget* parent = nullptr);

    FileListHeader* header() const { return m_header; }
    QLineEdit* searchField() const { return m_search; }
    const QList<FileRowView*>& rows() const { return m_rows; }
    bool showsSearch() const;
    bool isDropTargeted() const { return m_dropTargeted; }
    // The selection and drop colour, changed while the list shows.
    void setAccent(const QColor& accent);
    QColor accent() const { return m_accent; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void updateRows();
    void refresh();
    void setDropTargeted(bool targeted);

    ShelfListModel& m_model;
    FileShelf& m_shelf;
    SystemShell& m_shell;
    FileListActions m_actions;
    QColor m_accent;
    FileListHeader* m_header;
    QWidget* m_searchRow;
    QLineEdit* m_search;
    QScrollArea* m_scroll;
    QVBoxLayout* m_rowsLayout;
    QWidget* m_empty;
    QLabel* m_emptyLabel;
    QWidget* m_emptySymbol;
    QLabel* m_footer;
    QWidget* m_border;
    QList<FileRowView*> m_rows;
    bool m_dropTargeted = false;
};

} // namespace corvane
