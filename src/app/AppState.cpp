#include "app/AppState.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Registry.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelController.h"
#include "core/AppIcons.h"
#include "core/LaunchAtLogin.h"
#include "core/PermissionManager.h"
#include "core/Settings.h"
#include "core/StatusItems.h"
#include "core/ToastController.h"
#include "core/Updater.h"
#include "runtime/Log.h"
#include "settings/OnboardingWindowController.h"
#include "settings/SettingsWindowController.h"
#include "shelf/FileShelf.h"
#include "shelf/FileShelfController.h"
#include "shelf/NotchDropController.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SwitcherController.h"
#include "snapping/RadialSnapController.h"
#include "snapping/SnapController.h"
#include "system/AwakeController.h"
#include "system/MouseController.h"
#include "system/NotchController.h"
#include "system/SystemAudio.h"
#include "windows/AXWindowService.h"
#include "windows/SpacesService.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"
#include "workspaces/WorkspaceRestorer.h"

#include <cassert>

namespace corvane {
namespace {
AppState* sharedState = nullptr;
}

AppState::AppState(Platform& platform, Runtime runtime)
    : m_platform(platform), m_runtime(runtime), m_settings(Settings::shared()) {
    // The services are built strictly in this order.
    m_launchAtLogin = std::make_unique<LaunchAtLogin>(*platform.defaults, *platform.loginItem);
    m_permissions = std::make_unique<PermissionManager>(*platform.permissions, runtime.scheduler,
                                                        runtime.background, *platform.shell);
    m_windows = std::make_unique<WindowService>(m_settings, AXWindowService::shared(), *platform.windowList,
                                                *platform.runningApplications, runtime.scheduler,
                                                runtime.background, AXWindowService::shared().ownPID());
    m_icons = std::make_unique<AppIcons>(*platform.applications);
    // A process id the system hands out again must not show the old program's picture.
    connect(m_windows.get(), &WindowService::applicationTerminated, this,
            [this](int32_t pid) { m_icons->forgetPID(pid); });
    m_thumbnails =
        std::make_unique<ThumbnailService>(m_settings, *platform.windowCapture, *platform.powerSource,
                                           *platform.sleepWake, runtime.scheduler, runtime.background);
    m_workspaces = std::make_unique<WorkspaceManager>(
        std::make_unique<WorkspaceStore>(WorkspaceStore::defaultFileURL()), runtime.scheduler);
    m_toast = std::make_unique<ToastController>(*platform.screens, runtime.scheduler, m_settings,
                                                *platform.panelWindowing, runtime.animator);
    m_updater = std::make_unique<Updater>(*platform.defaults, *m_toast);
    m_statusItems = std::make_unique<StatusItems>(*platform.tray, runtime.scheduler);
    m_spaces =
        std::make_unique<SpacesService>(*platform.desktops, *platform.screens, *platform.runningApplications,
                                        runtime.scheduler, runtime.background);
    m_files = std::make_unique<FileShelf>(*platform.defaults);
    m_awake = std::make_unique<AwakeController>(AwakeController::Services{
        m_settings, runtime.scheduler, *platform.powerHolds, *platform.defaults, *m_statusItems, *this});
    m_clipboard = std::make_unique<ClipboardHistory>(m_settings, runtime.scheduler, *platform.pasteboard,
                                                     *platform.runningApplications);
    m_shortcuts = std::make_unique<ShortcutKit::Registry>(
        *platform.defaults, *platform.hotKeys, *platform.keyboard, runtime.notifications, runtime.scheduler);
}

AppState::~AppState() {
    if (sharedState == this)
        sharedState = nullptr;
}

AppState& AppState::shared() {
    assert(sharedState && "AppState::setShared must run first");
    return *sharedState;
}

AppState* AppState::sharedIfSet() {
    return sharedState;
}

void AppState::setShared(AppState* state) {
    sharedState = state;
}

SidebarController& AppState::sidebar() {
    if (!m_sidebar)
        m_sidebar = std::make_unique<SidebarController>(*this);
    return *m_sidebar;
}

SnapController& AppState::snap() {
    if (!m_snap)
        m_snap = std::make_unique<SnapController>(AXWindowService::shared(), m_settings, *this);
    return *m_snap;
}

RadialSnapController& AppState::radial() {
    if (!m_radial)
        m_radial = std::make_unique<RadialSnapController>(*this);
    return *m_radial;
}

SwitcherController& AppState::switcher() {
    if (!m_switcher)
        m_switcher = std::make_unique<SwitcherController>(SwitcherController::Services{
            .windows = *m_windows,
            .settings = m_settings,
            .sidebar = sidebar(),
            .monitors = m_platform.eventMonitors.get(),
            .scheduler = scheduler(),
            .focusWindow = [this](const WindowInfo& window) { focusWindow(window); },
            .shortcutModifiers = [this]() -> std::optional<quint64> {
                if (auto shortcut = m_shortcuts->getShortcut(AppShortcuts::windowSwitcher()))
                    return shortcut->modifiers().rawValue;
                return std::nullopt;
            },
        });
    return *m_switcher;
}

FileShelfController& AppState::shelf() {
    if (!m_shelf)
        m_shelf = std::make_unique<FileShelfController>(*this);
    return *m_shelf;
}

ClipboardPanelController& AppState::clipboardPanel() {
    if (!m_clipboardPanel) {
        m_clipboardPanel = std::make_unique<ClipboardPanelController>(ClipboardPanelController::Services{
            m_settings,
            m_runtime.scheduler,
            *m_clipboard,
            *m_platform.screens,
            *m_platform.panelWindowing,
            *m_platform.pasteKeystroke,
            m_runtime.animator,
            *m_statusItems,
            [this](const QString& bundleID) { return m_icons->appIconForBundleID(bundleID); },
            [this]() -> std::optional<QString> {
                const std::optional<ShortcutKit::Shortcut> shortcut =
                    m_shortcuts->getShortcut(AppShortcuts::clipboardHistory());
                if (!shortcut)
                    return std::nullopt;
                return shortcut->description(*m_platform.keyboard);
            },
        });
    }
    return *m_clipboardPanel;
}

NotchController& AppState::notch() {
    if (!m_notch)
        m_notch = std::make_unique<NotchController>(*this);
    return *m_notch;
}

MouseController& AppState::mouse() {
    if (!m_mouse)
        m_mouse =
            std::make_unique<MouseController>(m_settings, *m_platform.pointerDevices, *m_platform.defaults);
    return *m_mouse;
}

NotchDropController& AppState::notchDrop() {
    if (!m_notchDrop)
        m_notchDrop = std::make_unique<NotchDropController>(*this);
    return *m_notchDrop;
}

SettingsWindowController& AppState::settingsWindow() {
    if (!m_settingsWindow)
        m_settingsWindow = std::make_unique<SettingsWindowController>(*this);
    return *m_settingsWindow;
}

OnboardingWindowController& AppState::onboarding() {
    if (!m_onboarding)
        m_onboarding = std::make_unique<OnboardingWindowController>(*this);
    return *m_onboarding;
}

WorkspaceRestorer& AppState::restorer() {
    if (!m_restorer) {
        m_restorer = std::make_unique<WorkspaceRestorer>(
            AXWindowService::shared(), m_settings, Seconds(8.0),
            [this](const ScreenInfo& screen) { return usableFrame(screen); },
            WorkspaceRestorer::Services{*m_platform.runningApplications, *m_platform.launcher,
                                        *m_platform.screens, m_runtime.scheduler});
    }
    return *m_restorer;
}

void AppState::start(bool launchedAtLogin) {
    if (m_started)
        return;
    m_started = true;

    qCInfo(lcApp, "Corvane %s starting (login launch: %s)", CORVANE_VERSION, Log::boolText(launchedAtLogin));

    m_platform.host->setActivationPolicy(m_settings.showDockIcon()
                                             ? ApplicationHost::ActivationPolicy::regular
                                             : ApplicationHost::ActivationPolicy::accessory);
    purgeStaleStatusItemDefaults(*m_platform.defaults);
    m_launchAtLogin->configureDefaultIfNeeded();
    m_windows->installAppObservers();
    m_thumbnails->installSleepObservers();
    registerHotkeys(*this);
    sidebar().start();

    QPointer<AppState> weakSelf(this);
    m_spaces->setScreenProvider([weakSelf]() -> std::optional<ScreenInfo> {
        if (!weakSelf)
            return std::nullopt;
        return weakSelf->sidebar().currentScreen();
    });
    m_spaces->start();

    shelf().restoreFloatingShelves();
    AwakeController::recoverLidSleep(*m_platform.defaults);
    m_awake->updateStatusItem();
    m_clipboard->purgeStaleStore(m_settings.clipboardEnabled(), m_settings.clipboardRetentionDays());
    m_clipboard->setEnabled(m_settings.clipboardEnabled());
    clipboardPanel().updateStatusItem();
    shelf().syncStatusItem();
    notch().start();
    mouse().apply();
    notchDrop().start();

    m_screensObserver =
        connect(m_platform.screens.get(), &Screens::screensChanged, this, &AppState::screenParametersChanged);

    // Only the presence of the argument counts, whatever its value.
    if (m_platform.defaults->hasArgument("previewNotchHUD"))
        previewNotchHUD();

    radial().start();

    m_permissions->onChange = [weakSelf](bool accessibility, bool screenRecording) {
        if (weakSelf)
            weakSelf->permissionsChanged(accessibility, screenRecording);
    };
    m_permissions->startPolling(Seconds(3.0));

    m_settingsObserver =
        notifications().addObserver(Settings::didChangeNotification, [weakSelf](const Notification& note) {
            if (!weakSelf)
                return;
            std::optional<QString> key;
            if (note.object.typeId() == QMetaType::QString)
                key = note.object.toString();
            weakSelf->settingsChanged(key);
        });

    if (auto tabArgument = m_platform.defaults->argument("settingsTab");
        tabArgument && tabArgument->is_string()) {
        const SettingsTab tab =
            settingsTabFromRawValue(QString::fromStdString(tabArgument->get<std::string>()));
        if (tab != SettingsTab::keep) {
            settingsWindow().show(tab);
            return;
        }
    }

    if (m_settings.hasCompletedOnboarding() && m_permissions->accessibilityGranted()) {
        if (m_settings.showSettingsOnLaunch() && !launchedAtLogin)
            settingsWindow().show(SettingsTab::keep);
    } else {
        onboarding().show();
    }
}

QCoro::Task<void> AppState::previewNotchHUD() {
    QPointer<AppState> self(this);
    // A cancelled sleep still shows the preview.
    co_await scheduler().sleep(Seconds(1.0));
    if (!self)
        co_return;
    notch().showHUD(NotchModel::Kind::volume, isOutputMuted().value_or(false), outputVolume().value_or(0.5f),
                    Seconds(6.0));
}

void AppState::permissionsChanged(bool accessibility, bool screenRecording) {
    Q_UNUSED(screenRecording);
    radial().start();
    if (m_settings.notchHUD() && PermissionManager::cachedAccessibility())
        notch().installTap();
    else
        notch().removeTap();
    mouse().apply();
    refreshWindowsAfterPermissionChange();
    if (!accessibility && m_settings.hasCompletedOnboarding())
        onboarding().show();
}

QCoro::Task<void> AppState::refreshWindowsAfterPermissionChange() {
    co_await refreshWindows(true);
}

QCoro::Task<void> AppState::refreshWindows(bool force) {
    co_await m_windows->refresh(force);
}

void AppState::showKeepAwakeSettings() {
    // The keep-awake menu leads to the General page, which holds the Keep Awake switch.
    settingsWindow().show(SettingsTab::general);
}

void AppState::screenParametersChanged() {
    notchDrop().start();
}

void AppState::settingsChanged(const std::optional<QString>& key) {
    // One action per key; the first row that names the key decides. Keys read where they are
    // used need nothing here; everything else takes the general path at the end.
    const auto is = [&key](std::initializer_list<const char*> names) {
        if (!key)
            return false;
        for (const char* name : names)
            if (*key == QLatin1String(name))
                return true;
        return false;
    };
    if (is({"showDockIcon"})) {
        m_platform.host->setActivationPolicy(m_settings.showDockIcon()
                                                 ? ApplicationHost::ActivationPolicy::regular
                                                 : ApplicationHost::ActivationPolicy::accessory);
    } else if (is({"radialEnabled", "radialTrigger"})) {
        radial().start();
    } else if (is({"hasCompletedOnboarding", "showSettingsOnLaunch", "awakeLastDuration"})) {
    } else if (is({"clipboardEnabled"})) {
        const bool enabled = m_settings.clipboardEnabled();
        m_clipboard->setEnabled(enabled);
        if (!enabled) {
            m_clipboard->clear();
            m_clipboard->purgeStaleStore(false, 0);
        }
        clipboardPanel().updateStatusItem();
    } else if (is({"showClipboardIcon"})) {
        clipboardPanel().updateStatusItem();
    } else if (is({"showFilesIcon", "showTray", "showFiles"})) {
        shelf().syncStatusItem();
        m_windows->rebuildVisible();
        sidebar().reload();
    } else if (is({"clipboardRetentionDays"})) {
        m_clipboard->applyRetention();
    } else if (is({"clipboardLimit", "clipboardPasteDirectly", "notchAwakeIndicator", "showMenuBarIcon",
                   "notchAirDrop"})) {
    } else if (is({"mouseScrollDirection", "reverseMouseHorizontal"})) {
        mouse().apply();
    } else if (is({"notchTray"})) {
        notchDrop().start();
    } else if (is({"volumeStepPercent", "brightnessStepPercent", "minBrightnessPercent"})) {
        notch().loadStepSettings();
    } else if (is({"notchHUD"})) {
        if (m_settings.notchHUD() && PermissionManager::cachedAccessibility())
            notch().installTap();
        else
            notch().removeTap();
    } else if (is({"showAwakeIcon"})) {
        m_awake->updateStatusItem();
    } else if (is({"awakeMode"})) {
        m_awake->reapplyMode();
    } else {
        m_windows->rebuildVisible();
        sidebar().reload();
        shelf().syncFloatingPanels();
    }
}

} // namespace corvane
