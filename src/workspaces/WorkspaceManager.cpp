#include "workspaces/WorkspaceManager.h"

#include <algorithm>

namespace corvane {

std::vector<WorkspaceItem> WorkspaceManager::captureCurrentWindows(const std::vector<WindowInfo>& windows,
                                                                   AppState& state) {
    Q_UNUSED(windows);
    Q_UNUSED(state);
    return {};
}

std::optional<int> WorkspaceManager::nextFreeHotkeyIndex() const {
    for (int slot = 1; slot <= 9; ++slot) {
        const bool taken = std::any_of(m_workspaces.begin(), m_workspaces.end(),
                                       [slot](const Workspace& w) { return w.hotkeyIndex == slot; });
        if (!taken) return slot;
    }
    return std::nullopt;
}

void WorkspaceManager::add(Workspace workspace) { m_workspaces.push_back(std::move(workspace)); }

std::optional<Workspace> WorkspaceManager::workspace(const QUuid& id) const {
    for (const auto& w : m_workspaces)
        if (w.id == id) return w;
    return std::nullopt;
}

void WorkspaceManager::update(const Workspace& workspace) {
    for (auto& w : m_workspaces)
        if (w.id == workspace.id) w = workspace;
}

std::optional<Workspace> WorkspaceManager::workspaceForHotkey(int slot) const {
    for (const auto& w : m_workspaces)
        if (w.hotkeyIndex == slot) return w;
    return std::nullopt;
}

} // namespace corvane
