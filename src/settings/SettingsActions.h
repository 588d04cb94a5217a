#pragma once

#include "core/LayoutPreset.h"

#include <QUuid>

namespace corvane {

struct Workspace;

// What the settings pages start in other features. Each call starts the work and returns; the
// outcome shows through the stores the pages follow (or as a toast), never as a result.
class SettingsActions {
public:
    virtual ~SettingsActions() = default;

    // Tiles the windows of the screen under the pointer with `preset`.
    virtual void applyLayout(LayoutPreset preset) = 0;
    // Saves the windows of the screen under the pointer as a new workspace.
    virtual void saveWindowsAsWorkspace() = 0;
    // Replaces the workspace's windows with those of the screen under the pointer.
    virtual void updateWorkspaceFromWindows(const QUuid& id) = 0;
    virtual void restoreWorkspace(const Workspace& workspace) = 0;
};

} // namespace corvane
