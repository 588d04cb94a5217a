#include "shelf/ShelfListModel.h"

#include "core/SearchText.h"
#include "core/SettingKeys.h"
#include "core/Settings.h"
#include "platform/FileFacts.h"
#include "platform/SystemShell.h"
#include "runtime/Executor.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfListing.h"
#include "shelf/ShelfPath.h"

#include <QPointer>

#include <algorithm>

namespace corvane {

ShelfListModel::ShelfListModel(ShelfSource source, FileShelf& shelf, Settings& settings, SystemShell& shell,
                               Scheduler& scheduler, Executor& worker)
    : m_source(std::move(source)), m_shelf(shelf), m_settings(settings), m_shell(shell),
      m_scheduler(scheduler), m_worker(worker) {
    reload();
    // Changes arrive in bursts (a copy of many files); one update serves them all. The Tray may
    // hold files of any folder; a folder's list follows its own folder.
    connect(&m_shelf, &FileShelf::revisionChanged, this, [this] {
        if (m_source.isTray() && m_trail.isEmpty())
            scheduleReload();
    });
    connect(&m_shelf, &FileShelf::folderChanged, this,
            [this](const QString& path, const FolderChanges& changes) {
                if (!m_source.isTray() && m_trail.isEmpty() && samePath(path, m_source.path))
                    folderChanged(changes);
            });
    // What the user did shows at once in the Tray; any other list (a file just added may sit in
    // the folder it shows) relists too, spaced as its watchers are.
    connect(&m_shelf, &FileShelf::trayChanged, this, [this] {
        if (m_source.isTray() && m_trail.isEmpty())
            reload();
        else
            scheduleReload();
    });
    onSettingChange(
        m_settings, this, [this] { reload(); }, SettingKeys::shelfSort);
}

ShelfListModel::~ShelfListModel() = default;

void ShelfListModel::setSelection(QSet<QString> selection) {
    if (selection == m_selection)
        return;
    m_selection = std::move(selection);
    Q_EMIT selectionChanged();
}

void ShelfListModel::setHoveredID(std::optional<QString> id) {
    if (id == m_hoveredID)
        return;
    m_hoveredID = std::move(id);
    Q_EMIT hoveredChanged();
}

void ShelfListModel::setQuery(const QString& query) {
    if (query != m_query) {
        m_query = query;
        Q_EMIT queryChanged();
    }
    applyFilter();
}

QString ShelfListModel::title() const {
    if (!m_trail.isEmpty())
        return shelfDisplayName(m_trail.last().toLocalFile());
    if (!m_source.isTray())
        return shelfDisplayName(m_source.path);
    return QStringLiteral("Tray");
}

QList<ShelfFile> ShelfListModel::selectedFiles() const {
    QList<ShelfFile> out;
    for (const ShelfFile& file : m_files) {
        if (m_selection.contains(file.id()))
            out.append(file);
    }
    return out;
}

QList<QUrl> ShelfListModel::selectedURLs() const {
    QList<QUrl> out;
    for (const ShelfFile& file : selectedFiles()) {
        if (file.exists)
            out.append(file.url);
    }
    return out;
}

void ShelfListModel::reload() {
    m_relist.invalidate();
    m_stale = false;
    m_pending.clear();
    m_index.reset();
    m_listing = true;
    const quint64 request = ++m_request;
    ++m_listings;
    m_listingStarted = m_scheduler.now();
    const ShelfSort sort = m_settings.shelfSort();
    // What to list is read here, on the main thread; the worker gets only values.
    const bool tray = m_trail.isEmpty() && m_source.isTray();
    const QStringList trayPaths = tray ? m_shelf.tray() : QStringList();
    const QString folder = m_trail.isEmpty() ? m_source.path : m_trail.last().toLocalFile();
    QPointer<ShelfListModel> self(this);
    Executor* worker = &m_worker;
    m_worker.post([self, worker, request, sort, tray, trayPaths, folder] {
        std::shared_ptr<FolderIndex> index;
        std::vector<ShelfFile> files;
        if (tray) {
            files = trayFiles(trayPaths);
        } else {
            index = std::make_shared<FolderIndex>(folder, sort);
            files = index->shown();
        }
        const bool missing = !tray && files.empty() && fileFacts(folder).kind != FileKind::directory;
        worker->deliver([self, request, files = std::move(files), missing, index]() mutable {
            if (self)
                self->takeListing(request, std::move(files), missing, std::move(index));
        });
    });
}

void ShelfListModel::applyChanges() {
    m_relist.invalidate();
    m_listing = true;
    ++m_updates;
    m_listingStarted = m_scheduler.now();
    // The same level as the index's: a listing started meanwhile makes this answer count for nothing.
    const quint64 request = m_request;
    std::vector<QByteArray> names(m_pending.begin(), m_pending.end());
    m_pending.clear();
    QPointer<ShelfListModel> self(this);
    Executor* worker = &m_worker;
    m_worker.post([self, worker, request, names = std::move(names), index = std::move(m_index)]() mutable {
        const bool placed = index->apply(names);
        std::vector<ShelfFile> files = placed ? index->shown() : std::vector<ShelfFile>();
        worker->deliver(
            [self, request, placed, files = std::move(files), index = std::move(index)]() mutable {
                if (!self || request != self->m_request)
                    return;
                if (placed)
                    self->takeListing(request, std::move(files), false, std::move(index));
                else
                    self->reload();
            });
    });
}

void ShelfListModel::folderChanged(const FolderChanges& changes) {
    if (changes.whole)
        return scheduleReload();
    m_pending.insert(changes.names.begin(), changes.names.end());
    if (m_pending.size() > pendingLimit) {
        m_pending.clear();
        return scheduleReload();
    }
    catchUp();
}

void ShelfListModel::takeListing(quint64 request, std::vector<ShelfFile> files, bool folderMissing,
                                 std::shared_ptr<FolderIndex> index) {
    // An answer for a listing that a later one replaced (another level, another sort).
    if (request != m_request)
        return;
    m_index = std::move(index);
    m_listing = false;
    m_listingCost = std::chrono::duration_cast<Seconds>(m_scheduler.now() - m_listingStarted);
    m_all = std::move(files);
    const bool missingChanged = folderMissing != m_folderMissing;
    m_folderMissing = folderMissing;
    const bool first = !m_listed;
    m_listed = true;
    const int count = static_cast<int>(m_all.size());
    if (count != m_totalCount || first || missingChanged) {
        m_totalCount = count;
        Q_EMIT filesChanged();
    }
    applyFilter();
    if (m_stale || !m_pending.empty())
        catchUp();
}

void ShelfListModel::scheduleReload() {
    m_stale = true;
    catchUp();
}

void ShelfListModel::catchUp() {
    if (!m_shown || m_listing || m_relist.isValid())
        return;
    const Seconds gap = std::clamp(m_listingCost * relistCostFactor, relistGap, relistGapLongest);
    const Seconds since = std::chrono::duration_cast<Seconds>(m_scheduler.now() - m_listingStarted);
    QPointer<ShelfListModel> self(this);
    m_relist = m_scheduler.schedule(std::max(Seconds(0), gap - since), [self] {
        if (!self)
            return;
        // Without an index (the Tray, or a folder not listed yet) only a listing tells.
        if (self->m_stale || !self->m_index)
            self->reload();
        else if (!self->m_pending.empty())
            self->applyChanges();
    });
}

void ShelfListModel::setShown(bool shown) {
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (!shown)
        m_relist.invalidate();
    else if (m_stale || !m_pending.empty())
        catchUp();
}

void ShelfListModel::applyFilter() {
    const QString needle = trimBlanks(m_query);
    std::vector<ShelfFile> shown;
    if (needle.isEmpty()) {
        shown = m_all;
    } else {
        for (const ShelfFile& file : m_all) {
            if (file.name.contains(needle, Qt::CaseInsensitive))
                shown.push_back(file);
        }
    }
    setFiles(std::move(shown));
    if (m_selection.isEmpty())
        return;

    QSet<QString> visible;
    for (const ShelfFile& file : m_files)
        visible.insert(file.id());
    if (!visible.contains(m_selection))
        setSelection(m_selection & visible);
}

void ShelfListModel::setFiles(std::vector<ShelfFile> files) {
    if (files == m_files)
        return;
    m_files = std::move(files);
    // An anchor past the end would range over rows that are gone: it points at the last row.
    if (m_anchor && *m_anchor >= static_cast<int>(m_files.size()))
        m_anchor = m_files.empty() ? std::nullopt : std::optional<int>(static_cast<int>(m_files.size()) - 1);
    Q_EMIT filesChanged();
}

int ShelfListModel::indexOf(const ShelfFile& file) const {
    const auto it = std::find(m_files.begin(), m_files.end(), file);
    return it == m_files.end() ? -1 : static_cast<int>(it - m_files.begin());
}

QSet<QString> ShelfListModel::range(int from, int to) const {
    QSet<QString> out;
    for (int i = std::min(from, to); i <= std::max(from, to); ++i)
        out.insert(m_files[static_cast<std::size_t>(i)].id());
    return out;
}

void ShelfListModel::runSelectionChange() {
    if (onSelectionChange)
        onSelectionChange();
}

void ShelfListModel::click(const ShelfFile& file, Qt::KeyboardModifiers modifiers) {
    const int i = indexOf(file);
    if (i < 0)
        return;
    if (modifiers.testFlag(Qt::ShiftModifier) && m_anchor) {
        setSelection(range(i, *m_anchor));
        runSelectionChange();
        return;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        QSet<QString> selection = m_selection;
        if (!selection.remove(file.id()))
            selection.insert(file.id());
        setSelection(std::move(selection));
    } else {
        setSelection({file.id()});
    }
    m_anchor = i;
    runSelectionChange();
}

void ShelfListModel::ensureSelected(const ShelfFile& file) {
    if (m_selection.contains(file.id()))
        return;
    setSelection({file.id()});
    const int i = indexOf(file);
    m_anchor = i < 0 ? std::nullopt : std::optional<int>(i);
    runSelectionChange();
}

void ShelfListModel::moveSelection(int delta, bool extend) {
    const int count = static_cast<int>(m_files.size());
    if (count == 0)
        return;
    // The move starts from the last selected row, whichever way it goes: a range extended
    // upwards from its anchor therefore reaches one row above it and stays there.
    int current = -1;
    for (int i = count - 1; i >= 0 && current < 0; --i) {
        if (m_selection.contains(m_files[static_cast<std::size_t>(i)].id()))
            current = i;
    }
    int target = current >= 0 ? current + delta : (delta > 0 ? delta - 1 : count + delta);
    target = std::clamp(target, 0, count - 1);
    if (extend && m_anchor) {
        setSelection(range(target, *m_anchor));
    } else {
        setSelection({m_files[static_cast<std::size_t>(target)].id()});
        m_anchor = target;
    }
    runSelectionChange();
}

void ShelfListModel::selectAll() {
    QSet<QString> all;
    for (const ShelfFile& file : m_files)
        all.insert(file.id());
    setSelection(std::move(all));
    runSelectionChange();
}

ShellOutcome ShelfListModel::open(const ShelfFile& file) {
    if (!file.exists)
        return {};
    if (!file.isDirectory)
        return m_shell.openUrl(file.url.toString());
    m_trail.append(file.url);
    Q_EMIT trailChanged();
    resetLevel();
    return {};
}

void ShelfListModel::goBack() {
    if (m_trail.isEmpty())
        return;
    m_trail.removeLast();
    Q_EMIT trailChanged();
    resetLevel();
}

void ShelfListModel::resetLevel() {
    setQuery(QString());
    setSelection({});
    m_anchor.reset();
    startWatching();
    // The rows of the level left are not this level's, even for the moment the listing takes.
    m_listed = false;
    m_all.clear();
    m_totalCount = 0;
    setFiles({});
    reload();
    runSelectionChange();
}

void ShelfListModel::startWatching() {
    m_watch.reset();
    // At the top level the shelf's own folder watchers keep the list current.
    if (m_trail.isEmpty())
        return;
    m_watch = m_shelf.folderWatching().watch(
        m_trail.last().toLocalFile(), [this](const FolderChanges& changes) { folderChanged(changes); });
}

} // namespace corvane
