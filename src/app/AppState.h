#pragma once

#include "platform/Platform.h"
#include "runtime/NotificationCenter.h"
#include "runtime/Runtime.h"

#include "settings/SettingsActions.h"
#include "settings/SettingsServices.h"
#include "shelf/NotchDropController.h"
#include "shelf/ShelfServices.h"
#include "shelf/ShelfSource.h"
#include "sidebar/StripServices.h"
#include "system/AwakeController.h"
#include "windows/WindowInfo.h"
#include "workspaces/Workspace.h"
#include "workspaces/WorkspaceManager.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>

namespace corvane {

class Settings;
class AppIcons;
class AppKeyEquivalents;
class LaunchAtLogin;
class PermissionManager;
class WindowService;
class ThumbnailService;
class WorkspaceManager;
class ToastController;
class Updater;
class StatusItems;
class SpacesService;
class FileShelf;
class ClipboardHistory;
class SidebarController;
class SnapController;
class RadialSnapController;
class SwitcherController;
class FileShelfController;
class ShelfHost;
class ClipboardPanelController;
class NotchController;
class MouseController;
class NotchDropController;
class SettingsWindowController;
class OnboardingWindowController;
class WorkspaceRestorer;
class WorkArea;
namespace ShortcutKit {
class Registry;
}

// The application names of the windows in list order, without empty names and repeats.
std::vector<QString> distinctAppNames(const std::vector<WindowInfo>& windows);

// The composition root: owns every service, creates each feature controller the first time it
// is asked for, handing it the services it uses, runs start-up once and carries the actions that
// span several features, which features reach through the narrow interfaces it implements
// (StripActions, ShelfActions, SettingsActions, AwakeSettingsOpener, TrayPopoverOpener). It outlives every
// controller.
class AppState : public QObject,
                 public StripActions,
                 public ShelfActions,
                 public SettingsActions,
                 public AwakeSettingsOpener,
                 public TrayPopoverOpener {
    Q_OBJECT
public:
    // Builds the services in their fixed order. `Settings::shared()` must be set.
    AppState(Platform& platform, Runtime runtime);
    ~AppState() override;

    Platform& platform() { return m_platform; }
    Scheduler& scheduler() { return m_runtime.scheduler; }
    NotificationCenter& notifications() { return m_runtime.notifications; }
    Executor& background() { return m_runtime.background; }
    Animator& animator() { return m_runtime.animator; }

    // Services, built with the state.
    Settings& settings() { return m_settings; }
    LaunchAtLogin& launchAtLogin() { return *m_launchAtLogin; }
    PermissionManager& permissions() { return *m_permissions; }
    WindowService& windows() { return *m_windows; }
    ThumbnailService& thumbnails() { return *m_thumbnails; }
    WorkspaceManager& workspaces() { return *m_workspaces; }
    ToastController& toast() { return *m_toast; }
    Updater& updater() { return *m_updater; }
    SpacesService& spaces() { return *m_spaces; }
    FileShelf& files() { return *m_files; }
    AwakeController& awake() { return *m_awake; }
    ClipboardHistory& clipboard() { return *m_clipboard; }
    // Application pictures, kept for the whole process; a program's entry goes when it quits.
    AppIcons& icons() { return *m_icons; }
    // The area windows are placed in; the strip reports the room it keeps.
    WorkArea& workArea() { return *m_workArea; }

    // What each feature is built with.
    StripServices stripServices();
    ShelfServices shelfServices();
    SettingsServices settingsServices();
    CaptureContext captureContext();
    // The extra tray icons (keep-awake, clipboard, files), made and removed by their owners.
    StatusItems& statusItems() { return *m_statusItems; }

    // Feature controllers, created on first use and kept to the end.
    SidebarController& sidebar();
    SnapController& snap();
    RadialSnapController& radial();
    SwitcherController& switcher();
    FileShelfController& shelf();
    ClipboardPanelController& clipboardPanel();
    NotchController& notch();
    MouseController& mouse();
    NotchDropController& notchDrop();
    SettingsWindowController& settingsWindow();
    OnboardingWindowController& onboarding();
    WorkspaceRestorer& restorer();
    // The named global shortcuts, their bindings and hot keys.
    ShortcutKit::Registry& shortcuts() { return *m_shortcuts; }

    // --- Actions that span several features. ---

    // The rectangle of a screen that windows are placed in: its visible frame, less the room the
    // strip keeps for itself on its own screen.
    QRectF usableFrame(const ScreenInfo& screen);
    void focusWindow(const WindowInfo& window) override;
    // Minimises the window, or restores it when it is minimised.
    QCoro::Task<void> setMinimized(WindowInfo window) override;
    QCoro::Task<void> closeWindow(WindowInfo window) override;
    std::vector<ShelfSource> shelfSources();
    void showShelfPanel(const ShelfSource& source) override;
    void openSettings() override;
    void openWorkspaceSettings(const QUuid& workspace) override;
    // The windows a save takes: those of the screen under the pointer, most recent first.
    QCoro::Task<std::vector<WindowInfo>> currentScreenWindows();
    QCoro::Task<void> saveCurrentWindows() override;
    void saveWorkspace(const std::vector<WindowInfo>& windows) override;
    QCoro::Task<void> updateWorkspace(QUuid id) override;
    void addWindowToWorkspace(uint32_t windowID, const QUuid& workspaceID) override;
    void restoreWorkspace(const Workspace& workspace) override;
    void restoreSlot(int slot);

    // What the settings pages start.
    void applyLayout(LayoutPreset preset) override;
    void saveWindowsAsWorkspace() override;
    void updateWorkspaceFromWindows(const QUuid& id) override;

    // The start-up sequence; runs once.
    void start(bool launchedAtLogin);
    bool isStarted() const { return m_started; }

    void permissionsChanged(bool accessibility, bool screenRecording);
    void screenParametersChanged();
    // Re-applies one preference change to the feature it concerns; no key re-applies the lot.
    void settingsChanged(const std::optional<QString>& key);

    // "Keep Awake Settings…" of the keep-awake menu.
    void showKeepAwakeSettings() override;
    // A click on the notch: the Tray's file panel under it.
    void showTrayPopover(const QRectF& anchor) override;

    // The "-previewNotchHUD" launch action: the volume display for a few seconds, a second on.
    QCoro::Task<void> previewNotchHUD();

private:
    QCoro::Task<void> refreshWindowsAfterPermissionChange();
    QCoro::Task<void> raiseAndActivate(WindowInfo window);
    QCoro::Task<void> runRestore(Workspace workspace);
    QCoro::Task<void> refreshWindows(bool force);

    Platform& m_platform;
    Runtime m_runtime;

    Settings& m_settings;
    std::unique_ptr<LaunchAtLogin> m_launchAtLogin;
    std::unique_ptr<PermissionManager> m_permissions;
    std::unique_ptr<WindowService> m_windows;
    std::unique_ptr<ThumbnailService> m_thumbnails;
    std::unique_ptr<WorkspaceManager> m_workspaces;
    std::unique_ptr<ToastController> m_toast;
    std::unique_ptr<Updater> m_updater;
    std::unique_ptr<SpacesService> m_spaces;
    std::unique_ptr<FileShelf> m_files;
    std::unique_ptr<AwakeController> m_awake;
    std::unique_ptr<ClipboardHistory> m_clipboard;
    std::unique_ptr<AppIcons> m_icons;
    std::unique_ptr<WorkArea> m_workArea;
    std::unique_ptr<StatusItems> m_statusItems;

    std::unique_ptr<SidebarController> m_sidebar;
    std::unique_ptr<SnapController> m_snap;
    std::unique_ptr<RadialSnapController> m_radial;
    std::unique_ptr<SwitcherController> m_switcher;
    std::unique_ptr<ShelfHost> m_shelfHost;
    std::unique_ptr<FileShelfController> m_shelf;
    std::unique_ptr<ClipboardPanelController> m_clipboardPanel;
    std::unique_ptr<NotchController> m_notch;
    std::unique_ptr<MouseController> m_mouse;
    std::unique_ptr<NotchDropController> m_notchDrop;
    std::unique_ptr<SettingsWindowController> m_settingsWindow;
    std::unique_ptr<OnboardingWindowController> m_onboarding;
    std::unique_ptr<WorkspaceRestorer> m_restorer;
    // Last, so that it goes first: its bindings reach into everything above.
    std::unique_ptr<ShortcutKit::Registry> m_shortcuts;
    // The application-wide keys: gone before the windows they open.
    std::unique_ptr<AppKeyEquivalents> m_keyEquivalents;

    ObserverToken m_settingsObserver;
    QMetaObject::Connection m_screensObserver;
    bool m_started = false;
};

} // namespace corvane
