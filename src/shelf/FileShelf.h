#pragma once

#include "core/ShelfSort.h"
#include "platform/FolderWatching.h"
#include "runtime/Scheduler.h"
#include "shelf/FileIconCache.h"
#include "shelf/ShelfFile.h"
#include "shelf/ShelfSource.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <map>
#include <memory>
#include <set>
#include <vector>

namespace corvane {

class Settings;

class UserDefaults;

// The model behind every file list: the Tray (paths the user gathered; nothing is copied) and the
// pinned folders, whose contents are listed. Both lists live in the user defaults; every pinned
// folder is watched, and `revision` counts the changes they report so that lists showing a folder
// are listed again. A pinned folder that is missing, or that went away while watched, is looked
// for every few seconds; when it appears it is watched and counts as changed. One per process,
// main thread only.
class FileShelf : public QObject {
    Q_OBJECT
public:
    // Reads both lists from the defaults and starts watching the pinned folders. Without
    // `watching`, folders are watched through the file system's change notifications.
    FileShelf(UserDefaults& defaults, Scheduler& scheduler,
              std::unique_ptr<FolderWatching> watching = nullptr);

    // How often pinned folders that cannot be watched are looked for again.
    static constexpr Seconds missingFolderInterval{3.0};
    ~FileShelf() override;

    static const QString foldersKey; // "shelfFolders"
    static const QString trayKey;    // "trayPaths"

    // Absolute paths of the pinned folders, in the user's order.
    const QStringList& folders() const { return m_folders; }
    // The Tray's paths, the most recently added first.
    const QStringList& tray() const { return m_tray; }
    // Changes the pinned folders reported since start-up; only grows.
    qint64 revision() const { return m_revision; }

    // Direct changes; a list equal to the current one notifies no one. Callers `save` afterwards.
    void setFolders(QStringList folders);
    void setTray(QStringList tray);

    // Writes both lists whole to the defaults.
    void save();
    // Puts the file URLs at the front of the Tray in the order given, so the last ends first; a
    // path already there moves instead of repeating. Other URLs are skipped. Saves once when any
    // was taken.
    void addToTray(const QList<QUrl>& urls);
    // Empties the Tray (no file is touched) and saves.
    void clearTray();
    // Unpins every entry equal to `path`, saves, and stops watching what is no longer pinned.
    void removeFolder(const QString& path);
    // Moves the entries at `offsets`, keeping their order, to stand just before the entry at
    // `destination` (the end when it equals the count), as a drag-to-reorder does, then saves.
    // Offsets outside the list are ignored.
    void moveFolders(const std::set<int>& offsets, int destination);
    // Watches each pinned folder that can be opened and no other. A folder that cannot be opened
    // is tried again at the next call, and every `missingFolderInterval` until it can.
    void syncWatchers();
    // The folders watched now, one entry per distinct path.
    QStringList watchedFolders() const;

    // --- Listing; done afresh on every call. These read the disk: the lists call them on a
    // worker (ShelfListModel), never on the main thread. ---

    ShelfFile file(const QString& path) const { return ShelfFile::fromPath(path); }
    // The Tray, then one source per pinned folder (a folder pinned twice gives two).
    std::vector<ShelfSource> sources() const;
    // The Tray in its own order whatever the sort, gone files included; a folder by `folderFiles`.
    std::vector<ShelfFile> files(const ShelfSource& source, ShelfSort sort) const;
    // A pinned folder or a sub-folder a list entered: sorted, at most 300 entries.
    std::vector<ShelfFile> folderFiles(const QString& path, ShelfSort sort) const;

    // The small icons the file rows show, one cache for the process.
    FileIconCache& icons() { return m_icons; }
    // What the file lists watch entered sub-folders with.
    FolderWatching& folderWatching() { return *m_watching; }

Q_SIGNALS:
    void foldersChanged();
    void trayChanged();
    void revisionChanged();
    // Right after `revisionChanged`: which pinned folder changed (the path it was pinned with), and how.
    void folderChanged(const QString& path, const FolderChanges& changes);

private:
    // `path` is a copy: the watch that calls may end during the call.
    void folderDidChange(QString path, const FolderChanges& changes);
    // Opens the watch of a pinned folder not watched yet; false when it cannot be watched.
    bool watchFolder(const QString& path);
    // The missing folders that can be watched now are, and their lists count them changed.
    void lookForMissingFolders();
    void updateMissingFolderTimer();

    QStringList m_folders;
    QStringList m_tray;
    qint64 m_revision = 0;
    UserDefaults* m_defaults = nullptr;
    Scheduler& m_scheduler;
    TimerHandle m_missingFolderTimer;
    std::unique_ptr<FolderWatching> m_watching;
    // By path key; each keeps the path it was opened with.
    std::map<QString, std::pair<QString, std::unique_ptr<FolderWatch>>> m_watchers;
    FileIconCache m_icons;
};

// The sources the application shows, in its order: the Tray when it is shown, then each pinned
// folder when folders are shown.
std::vector<ShelfSource> shelfSources(const Settings& settings, const FileShelf& files);

} // namespace corvane
