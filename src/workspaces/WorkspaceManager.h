#pragma once

#include "runtime/SaveRetry.h"
#include "runtime/Scheduler.h"
#include "windows/WindowInfo.h"
#include "workspaces/Workspace.h"
#include "workspaces/WorkspaceStore.h"

#include <QObject>

#include <map>
#include <memory>
#include <optional>
#include <set>

namespace corvane {

class ApplicationLauncher;
class Screens;
class WorkArea;

// What taking a window into a workspace reads: the screens, the area windows go in (frames are
// stored relative to it) and where programs are found.
struct CaptureContext {
    const Screens& screens;
    const WorkArea& workArea;
    ApplicationLauncher* launcher;
};

// The saved workspaces in memory, loaded once at creation and saved a quarter second after the
// last change. A list that failed to load is never written over: the file stays the user's. A
// save that fails keeps the list in memory and is tried again with the next change and every
// `retryInterval` until it lands (`SaveRetry`); the first failure of a run of them is announced once.
class WorkspaceManager : public QObject {
    Q_OBJECT
public:
    static constexpr double saveDelay = 0.25;
    static constexpr Seconds retryInterval = SaveRetry::interval;

    // Loads the list from `store` at once.
    WorkspaceManager(std::unique_ptr<WorkspaceStore> store, Scheduler& scheduler);

    const std::vector<Workspace>& workspaces() const { return m_workspaces; }
    // Replaces the list without saving; notifies only when it differs.
    void setWorkspaces(std::vector<Workspace> workspaces);
    std::optional<QUuid> restoringID() const { return m_restoringID; }
    void setRestoringID(std::optional<QUuid> id);
    // What loading reported at start-up; never cleared.
    const std::optional<QString>& loadError() const { return m_loadError; }
    // True when the workspaces file could not be taken in at start-up (no read access, a newer
    // format, damage that could not be moved aside): the file is kept exactly as it is and nothing
    // is saved this run, so nothing may be reported as saved.
    bool savesRefused() const { return m_fileProtected; }
    // What the user is told while saves are refused (toasts, the Workspaces settings page).
    static QString savesRefusedMessage();
    // What loading did to the file that the user should hear about: a damaged file kept aside
    // under a name it gives. None otherwise.
    const std::optional<QString>& setAsideNotice() const { return m_setAsideNotice; }

    void add(Workspace workspace);
    // Replaces the workspace with the same id; takes its slot from every other workspace; a blank
    // name becomes "Workspace". Nothing happens when no workspace has that id.
    void update(Workspace workspace);
    void remove(const QUuid& id);
    // Moves the workspaces at `offsets` before the one that stood at `destination`.
    void move(const std::set<int>& offsets, int destination);

    std::optional<Workspace> workspace(const QUuid& id) const;
    std::optional<Workspace> workspaceForHotkey(int slot) const;
    std::optional<int> nextFreeHotkeyIndex() const;

    static std::vector<WorkspaceItem> captureCurrentWindows(const std::vector<WindowInfo>& windows,
                                                            const CaptureContext& context);
    static std::optional<WorkspaceItem>
    makeItem(const WindowInfo& window, const std::map<QString, int>& counts, const CaptureContext& context);

    // Starts the delayed save, replacing a pending one.
    void scheduleSave();
    // Cancels the delayed save and writes at once when something is unsaved; what still cannot be
    // written is logged.
    void flushOnTerminate();
    // Writes at once, for an action that tells the user it saved: answers why it could not,
    // else none. A failure here is the caller's to tell (no `saveFailed`), and is retried.
    std::optional<QString> saveAtOnce();

    WorkspaceStore& store() { return *m_store; }
    int flushCount() const { return m_flushCount; }
    bool hasUnsavedChanges() const { return m_dirty; }

Q_SIGNALS:
    void workspacesChanged();
    void restoringIDChanged();
    // A save failed after the last one landed: `message` says what was not saved and why.
    void saveFailed(const QString& message);

private:
    void changed();
    // Writes the list; answers why it could not, else none.
    std::optional<QString> saveNow();
    void saveDelayed();

    std::unique_ptr<WorkspaceStore> m_store;
    Scheduler& m_scheduler;
    std::vector<Workspace> m_workspaces;
    std::optional<QUuid> m_restoringID;
    std::optional<QString> m_loadError;
    std::optional<QString> m_setAsideNotice;
    TimerHandle m_saveTimer;
    SaveRetry m_retry;
    bool m_dirty = false;
    // Set when the file exists but could not be taken in: it must not be replaced.
    bool m_fileProtected = false;
    int m_flushCount = 0;
};

} // namespace corvane
