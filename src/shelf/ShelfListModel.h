#pragma once

#include "shelf/FolderWatching.h"
#include "shelf/ShelfFile.h"
#include "shelf/ShelfSource.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

class FileShelf;
class Settings;
class SystemShell;

// The state behind one file list: the level shown (the source, or a sub-folder entered from
// it), the search filter, the selection with its anchor, and the row under the pointer. It
// relists itself when the shelf or the sort changes and when an entered sub-folder changes.
// Main thread only.
class ShelfListModel : public QObject {
    Q_OBJECT
public:
    ShelfListModel(ShelfSource source, FileShelf& shelf, Settings& settings, SystemShell& shell);
    ~ShelfListModel() override;

    const ShelfSource& source() const { return m_source; }
    // The rows shown: the level's listing after the search filter, in listing order.
    const std::vector<ShelfFile>& files() const { return m_files; }
    // The entries of the level before the filter.
    int totalCount() const { return m_totalCount; }
    // Selected rows by path.
    const QSet<QString>& selection() const { return m_selection; }
    void setSelection(QSet<QString> selection);
    // The sub-folders entered from the source, outermost first.
    const QList<QUrl>& trail() const { return m_trail; }
    const std::optional<QString>& hoveredID() const { return m_hoveredID; }
    void setHoveredID(std::optional<QString> id);
    const QString& query() const { return m_query; }
    // Stores the text and filters again, also when it is unchanged.
    void setQuery(const QString& query);
    std::optional<int> anchor() const { return m_anchor; }

    // Run after each selection change a user made (not after filtering).
    std::function<void()> onSelectionChange;

    // The header text: the entered folder's name, the pinned folder's name, or "Tray".
    QString title() const;
    QList<ShelfFile> selectedFiles() const;
    // The selected rows that still exist, in list order: what is dragged out and previewed.
    QList<QUrl> selectedURLs() const;

    void reload();
    // Selection on a mouse click: Shift ranges from the anchor, Control toggles.
    void click(const ShelfFile& file, Qt::KeyboardModifiers modifiers);
    void ensureSelected(const ShelfFile& file);
    // Keyboard move by +1 (down) or -1 (up); `extend` ranges from the anchor.
    void moveSelection(int delta, bool extend);
    void selectAll();
    // Opens a file in its default program, or enters a folder. Gone files are ignored.
    void open(const ShelfFile& file);
    void goBack();

Q_SIGNALS:
    void filesChanged();
    void selectionChanged();
    void trailChanged();
    void hoveredChanged();
    void queryChanged();

private:
    void applyFilter();
    void setFiles(std::vector<ShelfFile> files);
    void resetLevel();
    void startWatching();
    void scheduleReload();
    void runSelectionChange();
    int indexOf(const ShelfFile& file) const;
    QSet<QString> range(int from, int to) const;

    ShelfSource m_source;
    FileShelf& m_shelf;
    Settings& m_settings;
    SystemShell& m_shell;
    std::vector<ShelfFile> m_all;
    std::vector<ShelfFile> m_files;
    int m_totalCount = 0;
    QSet<QString> m_selection;
    QList<QUrl> m_trail;
    std::optional<QString> m_hoveredID;
    QString m_query;
    std::optional<int> m_anchor;
    // Watches the entered sub-folder; released with the model.
    std::unique_ptr<FolderWatch> m_watch;
    bool m_reloadPending = false;
};

} // namespace corvane
