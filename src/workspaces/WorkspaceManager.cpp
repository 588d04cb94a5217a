#include "workspaces/WorkspaceManager.h"

#include "core/ScreenHelpers.h"
#include "core/WorkArea.h"
#include "platform/ApplicationLauncher.h"
#include "runtime/Log.h"
#include "windows/WindowMatching.h"

#include <QFileInfo>

#include <algorithm>

namespace corvane {

WorkspaceManager::WorkspaceManager(std::unique_ptr<WorkspaceStore> store, Scheduler& scheduler)
    : m_store(std::move(store)), m_scheduler(scheduler), m_retry(scheduler, [this] {
          if (m_dirty)
              saveDelayed();
      }) {
    WorkspaceStore::LoadResult loaded = m_store->load();
    if (loaded.error) {
        m_loadError = loaded.error->description();
        m_fileProtected = true;
        qCCritical(lcWorkspaces, "Loading workspaces failed: %s", qUtf8Printable(*m_loadError));
        return;
    }
    m_workspaces = std::move(loaded.workspaces);
    if (loaded.setAsidePath) {
        m_setAsideNotice = QStringLiteral("The workspaces file was damaged and is kept as ") +
                           QFileInfo(*loaded.setAsidePath).fileName();
        qCWarning(lcWorkspaces, "%s (%s)", qUtf8Printable(*m_setAsideNotice),
                  qUtf8Printable(*loaded.setAsidePath));
    }
}

QString WorkspaceManager::savesRefusedMessage() {
    return QStringLiteral(
        "The workspaces file could not be read; nothing will be saved until it is dealt with");
}

void WorkspaceManager::setWorkspaces(std::vector<Workspace> workspaces) {
    if (workspaces == m_workspaces)
        return;
    m_workspaces = std::move(workspaces);
    Q_EMIT workspacesChanged();
}

void WorkspaceManager::setRestoringID(std::optional<QUuid> id) {
    if (id == m_restoringID)
        return;
    m_restoringID = id;
    Q_EMIT restoringIDChanged();
}

void WorkspaceManager::changed() {
    Q_EMIT workspacesChanged();
    scheduleSave();
}

void WorkspaceManager::add(Workspace workspace) {
    m_workspaces.push_back(std::move(workspace));
    changed();
}

void WorkspaceManager::update(Workspace workspace) {
    const auto found = std::find_if(m_workspaces.begin(), m_workspaces.end(),
                                    [&](const Workspace& w) { return w.id == workspace.id; });
    if (found == m_workspaces.end())
        return;
    if (workspace.hotkeyIndex) {
        for (auto it = m_workspaces.begin(); it != m_workspaces.end(); ++it)
            if (it != found && it->hotkeyIndex == workspace.hotkeyIndex)
                it->hotkeyIndex.reset();
    }
    const QString trimmed = [&] {
        qsizetype start = 0, end = workspace.name.size();
        const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
        while (start < end && blank(workspace.name[start]))
            ++start;
        while (end > start && blank(workspace.name[end - 1]))
            --end;
        return workspace.name.mid(start, end - start);
    }();
    if (trimmed.isEmpty())
        workspace.name = QStringLiteral("Workspace");
    *found = std::move(workspace);
    changed();
}

void WorkspaceManager::remove(const QUuid& id) {
    std::erase_if(m_workspaces, [&](const Workspace& w) { return w.id == id; });
    changed();
}

void WorkspaceManager::move(const std::set<int>& offsets, int destination) {
    const int count = static_cast<int>(m_workspaces.size());
    std::vector<Workspace> moving, staying;
    int insertAt = 0;
    for (int i = 0; i < count; ++i) {
        if (i == destination)
            insertAt = static_cast<int>(staying.size());
        if (offsets.contains(i))
            moving.push_back(std::move(m_workspaces[static_cast<size_t>(i)]));
        else
            staying.push_back(std::move(m_workspaces[static_cast<size_t>(i)]));
    }
    if (destination >= count)
        insertAt = static_cast<int>(staying.size());
    staying.insert(staying.begin() + insertAt, std::make_move_iterator(moving.begin()),
                   std::make_move_iterator(moving.end()));
    m_workspaces = std::move(staying);
    changed();
}

std::optional<Workspace> WorkspaceManager::workspace(const QUuid& id) const {
    for (const auto& w : m_workspaces)
        if (w.id == id)
            return w;
    return std::nullopt;
}

std::optional<Workspace> WorkspaceManager::workspaceForHotkey(int slot) const {
    for (const auto& w : m_workspaces)
        if (w.hotkeyIndex == slot)
            return w;
    return std::nullopt;
}

std::optional<int> WorkspaceManager::nextFreeHotkeyIndex() const {
    for (int slot = 1; slot <= 9; ++slot) {
        const bool taken = std::any_of(m_workspaces.begin(), m_workspaces.end(),
                                       [slot](const Workspace& w) { return w.hotkeyIndex == slot; });
        if (!taken)
            return slot;
    }
    return std::nullopt;
}

std::vector<WorkspaceItem> WorkspaceManager::captureCurrentWindows(const std::vector<WindowInfo>& windows,
                                                                   const CaptureContext& context) {
    std::map<QString, int> counts;
    for (const WindowInfo& window : windows)
        ++counts[window.bundleID.value_or(QString())];
    std::vector<WorkspaceItem> items;
    for (const WindowInfo& window : windows)
        if (auto item = makeItem(window, counts, context))
            items.push_back(std::move(*item));
    return items;
}

std::optional<WorkspaceItem> WorkspaceManager::makeItem(const WindowInfo& window,
                                                        const std::map<QString, int>& counts,
                                                        const CaptureContext& context) {
    if (!window.bundleID)
        return std::nullopt;
    const auto screen = screenForRectNearPointer(context.screens, window.frame);
    const QRectF reference = screen ? context.workArea.usableFrame(*screen) : window.frame;

    WorkspaceItem item;
    item.id = QUuid::createUuid();
    item.bundleID = *window.bundleID;
    item.appName = window.appName;
    // A program's location here is the path of its desktop entry, else its executable (a program
    // without an entry: xclock, a script). Launch arguments stay unknown: none are captured.
    if (context.launcher) {
        item.appPath = context.launcher->locate(*window.bundleID, std::nullopt);
        if (!item.appPath)
            item.appPath = context.launcher->programOfWindow(window.windowID, window.pid);
    }
    if (const auto it = counts.find(*window.bundleID); it != counts.end() && it->second > 1)
        item.titleContains = titleHint(window.title, window.appName);
    item.relativeFrame = relativeUnitRect(window.frame, reference);
    if (screen)
        item.screenID = displayUUID(*screen);
    return item;
}

void WorkspaceManager::scheduleSave() {
    m_dirty = true;
    m_saveTimer = m_scheduler.schedule(Seconds(saveDelay), [this] { saveDelayed(); });
}

void WorkspaceManager::saveDelayed() {
    const bool wasFailing = m_retry.failing();
    const auto error = saveNow();
    if (!error)
        return;
    if (m_fileProtected) {
        qCCritical(lcWorkspaces, "Saving workspaces failed: %s", qUtf8Printable(*error));
        return;
    }
    if (!wasFailing) {
        qCCritical(lcWorkspaces, "Saving workspaces failed: %s", qUtf8Printable(*error));
        Q_EMIT saveFailed(*error);
    }
}

std::optional<QString> WorkspaceManager::saveAtOnce() {
    m_saveTimer.invalidate();
    m_dirty = true;
    const bool wasFailing = m_retry.failing();
    const auto error = saveNow();
    if (error && !wasFailing && !m_fileProtected)
        qCCritical(lcWorkspaces, "Saving workspaces failed: %s", qUtf8Printable(*error));
    return error;
}

void WorkspaceManager::flushOnTerminate() {
    ++m_flushCount;
    m_saveTimer.invalidate();
    m_retry.cancel();
    if (!m_dirty)
        return;
    // Nothing is tried after this: what did not land is lost with the process, and the log says so.
    if (const auto error = saveNow(); error && !m_fileProtected)
        qCCritical(lcWorkspaces, "Quitting with workspaces that could not be saved: %s",
                   qUtf8Printable(*error));
    m_retry.cancel();
}

std::optional<QString> WorkspaceManager::saveNow() {
    if (m_fileProtected) {
        // The file on disk holds workspaces this run could not read (a newer format, no read
        // access, or damage that could not be moved aside); writing this run's list over it would
        // lose them. The user is told of that on its own.
        return savesRefusedMessage();
    }
    if (const auto error = m_store->save(m_workspaces)) {
        // The list stays in memory and goes out again when the disk may take it.
        m_retry.failed();
        return error->description();
    }
    if (m_retry.landed())
        qCInfo(lcWorkspaces, "Saving workspaces works again");
    m_dirty = false;
    return std::nullopt;
}

} // namespace corvane
