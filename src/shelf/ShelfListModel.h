#pragma once

#include "platform/FolderWatching.h"
#include "platform/SystemShell.h"
#include "runtime/Scheduler.h"
#include "shelf/FolderIndex.h"
#include "shelf/ShelfFile.h"
#include "shelf/ShelfSource.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace corvane {

class Executor;
class FileShelf;
class Settings;
class SystemShell;

// The state behind one file list: the level shown (the source, or a sub-folder entered from
// it), the search filter, the selection with its anchor, and the row under the pointer. It
// relists itself when the shelf or the sort changes and when an entered sub-folder changes.
// Listing reads the disk on `worker`; the answer lands on the main thread. A folder's list keeps
// an index of the folder and follows the entries the watchers name as changed by looking at them
// alone; it is listed whole only when the watchers cannot say what changed (lost events, a lost
// watch) or the index cannot place a change. Changes are gathered: a list is updated at most
// every `relistGap`, and an update that took long waits `relistCostFactor` times its own time
// before the next, so a huge folder that changes all the time costs a small share of a core; but
// never longer than `relistGapLongest`, so a change shows within a couple of seconds however busy
// the machine. A list that is not shown only notes that it is out of date and catches up once
// shown. Main thread only.
class ShelfListModel : public QObject {
    Q_OBJECT
public:
    static constexpr Seconds relistGap{0.25};
    static constexpr double relistCostFactor = 15;
    static constexpr Seconds relistGapLongest{2};
    // Past this many entries named as changed and not yet looked at (a list hidden while its
    // folder changes all the time), the list forgets them and is listed whole once due.
    static constexpr std::size_t pendingLimit = 4096;

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
    // Whole listings started since the model was made.
    int listingCount() const { return m_listings; }
    // Updates from named changes started since the model was made.
    int updateCount() const { return m_updates; }
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
    void takeListing(quint64 request, std::vector<ShelfFile> files, bool folderMissing,
                     std::shared_ptr<FolderIndex> index = nullptr);
    void resetLevel();
    void startWatching();
    void scheduleReload();
    // The named entries of the level's folder changed; `whole` when which ones is not known.
    void folderChanged(const FolderChanges& changes);
    void catchUp();
    void applyChanges();
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
    bool m_stale = false;   // a change came after the last listing started that needs a listing
    // The level's folder as last listed or updated; away while an update runs on the worker.
    std::shared_ptr<FolderIndex> m_index;
    std::set<QByteArray> m_pending; // entries named as changed since the last update started
    bool m_listed = false;
    bool m_folderMissing = false;
    bool m_shown = true;
    Instant m_listingStarted{0};
    Seconds m_listingCost{0};
    int m_listings = 0;
    int m_updates = 0;
};

} // namespace corvane
