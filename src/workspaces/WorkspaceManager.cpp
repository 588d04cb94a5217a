#include "workspaces/WorkspaceManager.h"

#include "app/AppState.h"
#include "app/ScreenHelpers.h"

#include <algorithm>

namespace corvane {

std::vector<WorkspaceItem> WorkspaceManager::captureCurrentWindows(const std::vector<WindowInfo>& windows,
                                                                   AppState& state) {
    // A window can be stored when its program can be found again: it needs a bundle identifier
    // and a screen whose usable area has a size.
    std::vector<WorkspaceItem> items;
    const Screens& screens = *state.platform().screens;
    for (const WindowInfo& window : windows) {
        if (!window.bundleID || window.bundleID->isEmpty()) continue;
        const auto screen = screenForRect(screens, window.frame);
        if (!screen) continue;
        const QRectF area = state.usableFrame(*screen);
        if (area.width() <= 0 || area.height() <= 0) continue;
        WorkspaceItem item;
        item.id = QUuid::createUuid();
        item.bundleID = *window.bundleID;
        item.appName = window.appName;
        item.relativeFrame = QRectF((window.frame.x() - area.x()) / area.width(),
                                    (window.frame.y() - area.y()) / area.height(),
                                    window.frame.width() / area.width(), window.frame.height() / area.height());
        item.screenID = displayUUID(*screen);
        items.push_back(std::move(item));
    }
    return items;
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
