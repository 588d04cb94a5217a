#pragma once

#include "windows/WindowInfo.h"
#include "workspaces/Workspace.h"
#include "workspaces/WorkspaceStore.h"

#include <QObject>

#include <memory>
#include <optional>

namespace corvane {

class AppState;

// The saved workspaces in memory, saved a moment after each change.
class WorkspaceManager : public QObject {
    Q_OBJECT
public:
    explicit WorkspaceManager(std::unique_ptr<WorkspaceStore> store) : m_store(std::move(store)) {}

    const std::vector<Workspace>& workspaces() const { return m_workspaces; }
    std::optional<QUuid> restoringID() const { return m_restoringID; }
    void setRestoringID(std::optional<QUuid> id) { m_restoringID = id; }

    // Cancels a pending save and saves at once.
    void flushOnTerminate() { ++m_flushCount; }
    std::vector<WorkspaceItem> captureCurrentWindows(const std::vector<WindowInfo>& windows, AppState& state);
    std::optional<int> nextFreeHotkeyIndex() const;
    void add(Workspace workspace);
    std::optional<Workspace> workspace(const QUuid& id) const;
    void update(const Workspace& workspace);
    std::optional<Workspace> workspaceForHotkey(int slot) const;

    WorkspaceStore& store() { return *m_store; }
    int flushCount() const { return m_flushCount; }

private:
    std::unique_ptr<WorkspaceStore> m_store;
    std::vector<Workspace> m_workspaces;
    std::optional<QUuid> m_restoringID;
    int m_flushCount = 0;
};

} // namespace corvane
