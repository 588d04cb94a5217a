#pragma once

#include "shelf/ShelfServices.h"
#include "windows/WindowInfo.h"
#include "workspaces/Workspace.h"

#include <QCoro/QCoroTask>
#include <QUuid>

#include <cstdint>
#include <vector>

namespace corvane {

class Animator;
class AppIcons;
class Scheduler;
class Settings;
class SpacesService;
class ThumbnailService;
class WindowService;
class WorkArea;
class WorkspaceManager;
struct Platform;

// What the strip asks of the application: the actions that span several features (focusing and
// closing windows, saving and restoring workspaces, the settings window), which the application
// carries out.
class StripActions {
public:
    virtual void focusWindow(const WindowInfo& window) = 0;
    // Minimises the window, or restores it when it is minimised.
    virtual QCoro::Task<void> setMinimized(WindowInfo window) = 0;
    virtual QCoro::Task<void> closeWindow(WindowInfo window) = 0;
    // Saves the windows of the screen under the pointer as a new workspace.
    virtual QCoro::Task<void> saveCurrentWindows() = 0;
    virtual void saveWorkspace(const std::vector<WindowInfo>& windows) = 0;
    // Replaces a workspace's windows with those of the screen under the pointer.
    virtual QCoro::Task<void> updateWorkspace(QUuid id) = 0;
    virtual void addWindowToWorkspace(uint32_t windowID, const QUuid& workspaceID) = 0;
    virtual void restoreWorkspace(const Workspace& workspace) = 0;
    // Opens the settings window on the page last shown.
    virtual void openSettings() = 0;
    // Opens the settings window on the workspaces page with `workspace` selected.
    virtual void openWorkspaceSettings(const QUuid& workspace) = 0;

protected:
    ~StripActions() = default;
};

// What the strip, its view and its menus work with. All must outlive the strip.
struct StripServices {
    Platform& platform;
    Scheduler& scheduler;
    Animator& animator;
    Settings& settings;
    WindowService& windows;
    ThumbnailService& thumbnails;
    SpacesService& spaces;
    WorkspaceManager& workspaces;
    AppIcons& icons;
    // The strip reports the room it keeps at its edge here.
    WorkArea& workArea;
    StripActions& actions;
    ShelfServices shelf;
};

} // namespace corvane
