#pragma once

#include "platform/SystemShell.h"
#include "runtime/Scheduler.h"
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

class Executor;
class FileShelf;
class Settings;
class SystemShell;

// The state behind one file list: the level shown (the source, or a sub-folder entered from
// it), the search filter, the selection with its anchor, and the row under the pointer. It
// relists itself when the shelf or the sort changes and when an entered sub-folder changes.
// Listing reads the disk on `worker`; the answer lands on the main thread. Changes reported by
// the watchers are gathered: a list is relisted at most every `relistGap`, and a listing that
// took long waits `relistCostFactor` times its own time before the next, so a huge folder that
// changes all the time costs a small share of a core. A list that is not shown only notes that
// it is out of date and relists once shown. Main thread only.
class ShelfListModel : public QObject {
    Q_OBJECT
public:
    static constexpr Seconds relistGap{0.25};
    static constexpr double relistCostFactor = 15;

    ShelfListModel(ShelfSource source, FileShelf& shelf, Settings& settings, SystemShell& shell,
                   Scheduler& scheduler, Executor& worker);
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

    // Lists the level again now; an answer still on its way for an earlier listing is dropped.
    void reload();
    // True once the level shown has been listed (the rows are what the disk said, not a
    // placeholder).
    bool isListed() const { return m_listed; }
    // The listed folder was not there (gone, renamed, or never made) at the last listing.
    bool isFolderMissing() const { return m_folderMissing; }
    // Whether the list is on screen; a hidden list does not relist on changes until shown.
    void setShown(bool shown);
    bool isShown() const { return m_shown; }
    // Listings started since the model was made.
    int listingCount() const { return m_listings; }
    // Selection on a mouse click: Shift ranges from the anchor, Control toggles.
    void click(const ShelfFile& file, Qt::KeyboardModifiers modifiers);
    void ensureSelected(const ShelfFile& file);
    // Keyboard move by +1 (down) or -1 (up); `extend` ranges from the anchor.
    void moveSelection(int delta, bool extend);
    void selectAll();
    // Opens a file in its default program, or enters a folder. Gone files are ignored. Fails
    // only when the file's program could not be started.
    ShellOutcome open(const ShelfFile& file);
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
    void takeListing(quint64 request, std::vector<ShelfFile> files, bool folderMissing);
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
    Scheduler& m_scheduler;
    Executor& m_worker;
    TimerHandle m_relist;
    quint64 m_request = 0;  // the listing whose answer counts
    bool m_listing = false; // that listing is on its way
    bool m_stale = false;   // a change came after the last listing started
    bool m_listed = false;
    bool m_folderMissing = false;
    bool m_shown = true;
    Instant m_listingStarted{0};
    Seconds m_listingCost{0};
    int m_listings = 0;
};

} // namespace corvane
