#include "shelf/FileShelf.h"

#include "core/Settings.h"
#include "platform/UserDefaults.h"
#include "shelf/QtFolderWatching.h"
#include "shelf/ShelfListing.h"
#include "shelf/ShelfPath.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace corvane {

const QString FileShelf::foldersKey = QStringLiteral("shelfFolders");
const QString FileShelf::trayKey = QStringLiteral("trayPaths");

namespace {

std::optional<QStringList> storedList(const UserDefaults& defaults, const QString& key) {
    const auto stored = defaults.stringArray(key.toStdString());
    if (!stored)
        return std::nullopt;
    QStringList list;
    list.reserve(static_cast<qsizetype>(stored->size()));
    for (const std::string& path : *stored)
        list.push_back(QString::fromStdString(path));
    return list;
}

Json jsonList(const QStringList& list) {
    Json array = Json::array();
    for (const QString& path : list)
        array.push_back(path.toStdString());
    return array;
}

// The user's own Downloads and Desktop folders, as xdg-user-dirs names them (localised, or moved
// elsewhere). A folder the user turned off reads as the home folder itself; it is left out rather
// than listing the whole home folder in its place.
QStringList defaultFolders() {
    const QString home = QDir::cleanPath(QDir::homePath());
    QStringList folders;
    for (QStandardPaths::StandardLocation location :
         {QStandardPaths::DownloadLocation, QStandardPaths::DesktopLocation}) {
        const QString path = QStandardPaths::writableLocation(location);
        if (!path.isEmpty() && QDir::cleanPath(path) != home && !folders.contains(path))
            folders.append(path);
    }
    return folders;
}

} // namespace

FileShelf::FileShelf(UserDefaults& defaults, Scheduler& scheduler, std::unique_ptr<FolderWatching> watching)
    : m_defaults(&defaults), m_scheduler(scheduler),
      m_watching(watching ? std::move(watching) : std::make_unique<QtFolderWatching>()) {
    // An empty stored list stays empty: the two default folders stand only for a missing or
    // unreadable value, which stays as it is until the next save.
    m_folders = storedList(defaults, foldersKey).value_or(defaultFolders());
    m_tray = storedList(defaults, trayKey).value_or(QStringList());
    syncWatchers();
}

FileShelf::~FileShelf() = default;

void FileShelf::setFolders(QStringList folders) {
    const bool changed = !samePaths(m_folders, folders);
    m_folders = std::move(folders);
    if (changed)
        Q_EMIT foldersChanged();
}

void FileShelf::setTray(QStringList tray) {
    const bool changed = !samePaths(m_tray, tray);
    m_tray = std::move(tray);
    if (changed)
        Q_EMIT trayChanged();
}

void FileShelf::save() {
    if (!m_defaults)
        return;
    m_defaults->set(foldersKey.toStdString(), jsonList(m_folders));
    m_defaults->set(trayKey.toStdString(), jsonList(m_tray));
}

void FileShelf::addToTray(const QList<QUrl>& urls) {
    QStringList tray = m_tray;
    bool took = false;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        // The standardised path: "." and ".." components resolved in the text, links left alone.
        const QString path = QDir::cleanPath(url.toLocalFile());
        if (path.isEmpty())
            continue;
        tray.removeIf([&](const QString& entry) { return samePath(entry, path); });
        tray.prepend(path);
        took = true;
    }
    if (!took)
        return;
    setTray(std::move(tray));
    save();
}

void FileShelf::clearTray() {
    setTray({});
    save();
}

void FileShelf::removeFolder(const QString& path) {
    QStringList folders = m_folders;
    folders.removeIf([&](const QString& entry) { return samePath(entry, path); });
    setFolders(std::move(folders));
    save();
    syncWatchers();
}

void FileShelf::moveFolders(const std::set<int>& offsets, int destination) {
    const int count = static_cast<int>(m_folders.size());
    destination = std::clamp(destination, 0, count);
    QStringList moved;
    QStringList before;
    QStringList after;
    for (int i = 0; i < count; ++i) {
        if (offsets.contains(i))
            moved.push_back(m_folders[i]);
        else if (i < destination)
            before.push_back(m_folders[i]);
        else
            after.push_back(m_folders[i]);
    }
    setFolders(before + moved + after);
    save();
}

void FileShelf::syncWatchers() {
    std::set<QString> pinned;
    for (const QString& path : m_folders)
        pinned.insert(pathKey(path));

    std::erase_if(m_watchers, [&](const auto& entry) { return !pinned.contains(entry.first); });

    for (const QString& path : m_folders)
        watchFolder(path);
    updateMissingFolderTimer();
}

bool FileShelf::watchFolder(const QString& path) {
    const QString key = pathKey(path);
    if (m_watchers.contains(key))
        return false;
    std::unique_ptr<FolderWatch> watch = m_watching->watch(
        path, [this, path](const FolderChanges& changes) { folderDidChange(path, changes); });
    if (!watch)
        return false;
    m_watchers.emplace(key, std::make_pair(path, std::move(watch)));
    return true;
}

void FileShelf::lookForMissingFolders() {
    QStringList appeared;
    for (const QString& path : m_folders) {
        if (watchFolder(path))
            appeared.push_back(path);
    }
    updateMissingFolderTimer();
    // Whatever a list showed of it (nothing, or what it held before it went) is listed again.
    for (const QString& path : appeared)
        folderDidChange(path, FolderChanges{{}, true});
}

void FileShelf::updateMissingFolderTimer() {
    const bool missing = std::any_of(m_folders.begin(), m_folders.end(), [this](const QString& path) {
        return !m_watchers.contains(pathKey(path));
    });
    if (!missing) {
        m_missingFolderTimer.invalidate();
        return;
    }
    if (m_missingFolderTimer.isValid())
        return;
    m_missingFolderTimer = m_scheduler.scheduleRepeating(missingFolderInterval, Seconds(1.0),
                                                         [this] { lookForMissingFolders(); });
}

QStringList FileShelf::watchedFolders() const {
    QStringList paths;
    for (const auto& [key, watcher] : m_watchers)
        paths.push_back(watcher.first);
    return paths;
}

void FileShelf::folderDidChange(QString path, const FolderChanges& changes) {
    if (changes.ended) {
        // Gone (deleted or moved away): it is looked for until it is back. Its watch ends after
        // this delivery, which holds it.
        m_watchers.erase(pathKey(path));
        updateMissingFolderTimer();
    }
    ++m_revision;
    Q_EMIT revisionChanged();
    Q_EMIT folderChanged(path, changes);
}

std::vector<ShelfSource> FileShelf::sources() const {
    std::vector<ShelfSource> sources{ShelfSource::tray()};
    for (const QString& path : m_folders)
        sources.push_back(ShelfSource::folder(path));
    return sources;
}

std::vector<ShelfFile> FileShelf::files(const ShelfSource& source, ShelfSort sort) const {
    if (!source.isTray())
        return folderFiles(source.path, sort);
    return trayFiles(m_tray);
}

std::vector<ShelfFile> FileShelf::folderFiles(const QString& path, ShelfSort sort) const {
    return listFolder(path, sort);
}

std::vector<ShelfSource> shelfSources(const Settings& settings, const FileShelf& files) {
    std::vector<ShelfSource> sources;
    if (settings.showTray())
        sources.push_back(ShelfSource::tray());
    if (settings.showFiles()) {
        for (const QString& path : files.folders())
            sources.push_back(ShelfSource::folder(path));
    }
    return sources;
}

} // namespace corvane
