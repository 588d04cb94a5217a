#include "app/AppState.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Registry.h"
#include "ShortcutKit/ShortcutConflicts.h"
#include "app/AppKeyEquivalents.h"
#include "app/AppShelfHost.h"
#include "app/Hotkeys.h"
#include "app/SettingsPages.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelController.h"
#include "core/AppIcons.h"
#include "core/EventTapThread.h"
#include "core/LaunchAtLogin.h"
#include "core/PermissionManager.h"
#include "core/SettingKeys.h"
#include "core/StatusItems.h"
#include "core/ToastController.h"
#include "core/Updater.h"
#include "core/WorkArea.h"
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
#include "system/MediaKeyTap.h"
#include "system/MouseController.h"
#include "system/NotchController.h"
#include "windows/AXWindowService.h"
#include "windows/SpacesService.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"
#include "workspaces/WorkspaceRestorer.h"

namespace corvane {

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
    m_workArea = std::make_unique<WorkArea>(m_settings);
    // A process id the system hands out again must not show the old program's picture.
    connect(m_windows.get(), &WindowService::applicationTerminated, this,
            [this](int32_t pid) { m_icons->forgetPID(pid); });
    connect(m_windows.get(), &WindowService::windowsChanged, this, [this] {
        QSet<uint32_t> open;
        for (const WindowInfo& window : m_windows->allWindows())
            open.insert(window.windowID);
        m_icons->keepWindows(open);
    });
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
    m_files = std::make_unique<FileShelf>(*platform.defaults, runtime.scheduler,
                                          std::move(platform.folderWatching));
    m_awake = std::make_unique<AwakeController>(AwakeController::Services{
        m_settings, runtime.scheduler, *platform.powerHolds, *platform.defaults, *m_statusItems, *this});
    QObject::connect(m_awake.get(), &AwakeController::problem, m_awake.get(), [this](const QString& message) {
        m_toast->show(message, QStringLiteral("exclamationmark.triangle.fill"));
    });
    m_clipboard = std::make_unique<ClipboardHistory>(
        m_settings, runtime.scheduler, runtime.background, *platform.pasteboard,
        *platform.runningApplications, ClipboardStore(),
        runtime.pictures ? runtime.pictures : &runtime.background);
    m_shortcuts = std::make_unique<ShortcutKit::Registry>(
        *platform.defaults, *platform.hotKeys, *platform.keyboard, runtime.notifications, runtime.scheduler);
    m_shortcuts->setMenuItems(AppKeyEquivalents::menuItems());

    // A write that fails in the background is told once, with what and why; the data stays in
    // memory and the write is tried again until it lands.
    const auto tellSaveFailed = [this](const QString& message) {
        m_toast->show(message, QStringLiteral("exclamationmark.triangle.fill"));
    };
    connect(m_workspaces.get(), &WorkspaceManager::saveFailed, this, tellSaveFailed);
    connect(m_clipboard.get(), &ClipboardHistory::saveFailed, this, tellSaveFailed);
    connect(platform.defaults.get(), &UserDefaults::saveFailed, this, tellSaveFailed);

    // The keys the tray menu shows beside "Settings…" and "Quit Corvane" act in that menu and in
    // every window of Corvane's, which a menu's own shortcuts would not.
    m_keyEquivalents = std::make_unique<AppKeyEquivalents>(
        [this] { settingsWindow().show(SettingsTab::keep); }, [&platform] { platform.host->terminate(); });
}

AppState::~AppState() = default;

SidebarController& AppState::sidebar() {
    if (!m_sidebar)
        m_sidebar = std::make_unique<SidebarController>(stripServices());
    return *m_sidebar;
}

SnapController& AppState::snap() {
    if (!m_snap)
        m_snap = std::make_unique<SnapController>(
            AXWindowService::shared(), m_settings,
            SnapController::Services{m_platform, *m_windows, m_runtime.background, *m_workArea, scheduler()});
    return *m_snap;
}

RadialSnapController& AppState::radial() {
    if (!m_radial)
        m_radial = std::make_unique<RadialSnapController>(RadialSnapController::Services{
            m_platform, m_settings, m_runtime.scheduler, m_runtime.animator, *m_workArea, snap()});
    return *m_radial;
}

SwitcherController& AppState::switcher() {
    if (!m_switcher)
        m_switcher = std::make_unique<SwitcherController>(SwitcherController::Services{
            .windows = *m_windows,
            .settings = m_settings,
            .sidebar = sidebar(),
            .monitors = m_platform.eventMonitors.get(),
            .keyGrabs = m_platform.keyGrabs.get(),
            .scheduler = scheduler(),
            .focusWindow = [this](const WindowInfo& window) { focusWindow(window); },
            .shortcut = [this]() -> std::optional<SwitcherController::Shortcut> {
                if (auto shortcut = m_shortcuts->getShortcut(AppShortcuts::windowSwitcher()))
                    return SwitcherController::Shortcut{{shortcut->carbonKeyCode, shortcut->carbonModifiers},
                                                        shortcut->modifiers().rawValue};
                return std::nullopt;
            },
        });
    return *m_switcher;
}

FileShelfController& AppState::shelf() {
    if (!m_shelf) {
        m_shelfHost = std::make_unique<AppShelfHost>(*this);
        m_shelf = std::make_unique<FileShelfController>(FileShelfController::Services{
            m_settings, *m_files, *m_platform.defaults, *m_platform.panelWindowing, *m_platform.screens,
            *m_platform.shell, animator(), scheduler(), *m_shelfHost, *m_statusItems, m_runtime.background});
    }
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
            [this] { return clipboardShortcutText(*m_shortcuts); },
            m_platform.hotKeys.get(),
            &m_runtime.background,
            m_platform.eventMonitors.get(),
        });
    }
    return *m_clipboardPanel;
}

NotchController& AppState::notch() {
    if (!m_notch) {
        m_notch = std::make_unique<NotchController>(NotchController::Services{
            .settings = m_settings,
            .screens = *m_platform.screens,
            .scheduler = scheduler(),
            .windowing = *m_platform.panelWindowing,
            .animator = animator(),
            .sound = *m_platform.soundOutput,
            .backlight = *m_platform.backlight,
            .accessibilityTrusted = [] { return PermissionManager::cachedAccessibility(); },
            .grabMediaKeys = mediaKeyGrabber(EventTapThread::shared()),
            .awakeActive = [this] { return m_awake->isActive(); },
            .awakeEndDate = [this]() -> std::optional<QDateTime> {
                const std::optional<Instant> end = m_awake->endDate();
                if (!end)
                    return std::nullopt;
                // The keep-awake end is on the continuous clock; the pill counts in wall time.
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(*end - scheduler().now());
                return scheduler().wallNow().addMSecs(left.count());
            },
        });
        // The pill follows keeping awake as it starts, stops or moves its end.
        connect(m_awake.get(), &AwakeController::activeChanged, m_notch.get(),
                &NotchController::refreshPanels);
        connect(m_awake.get(), &AwakeController::endDateChanged, m_notch.get(),
                &NotchController::refreshPanels);
    }
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
        m_notchDrop = std::make_unique<NotchDropController>(NotchDropController::Services{
            .settings = m_settings,
            .screens = *m_platform.screens,
            .scheduler = scheduler(),
            .windowing = *m_platform.panelWindowing,
            .animator = animator(),
            .monitors = m_platform.eventMonitors.get(),
            .drags = *m_platform.dragSource,
            .files = *m_files,
            .trayOpener = *this,
            // Nothing here sends files to nearby devices.
            .shareNearby = {},
            .icons = {},
        });
    return *m_notchDrop;
}

SettingsWindowController& AppState::settingsWindow() {
    if (!m_settingsWindow)
        m_settingsWindow = std::make_unique<SettingsWindowController>(settingsServices());
    return *m_settingsWindow;
}

OnboardingWindowController& AppState::onboarding() {
    if (!m_onboarding)
        // A permission granted while the window showed may let the snap wheel arm.
        m_onboarding = std::make_unique<OnboardingWindowController>(settingsServices(), settingsWindow(),
                                                                    [this] { radial().start(); });
    return *m_onboarding;
}

WorkspaceRestorer& AppState::restorer() {
    if (!m_restorer) {
        m_restorer = std::make_unique<WorkspaceRestorer>(
            AXWindowService::shared(), m_settings, Seconds(8.0),
            [this](const ScreenInfo& screen) { return m_workArea->usableFrame(screen); },
            WorkspaceRestorer::Services{*m_platform.runningApplications, *m_platform.launcher,
                                        *m_platform.screens, m_runtime.scheduler});
    }
    return *m_restorer;
}

StripServices AppState::stripServices() {
    return StripServices{m_platform,    m_runtime.scheduler, m_runtime.animator, m_settings, *m_windows,
                         *m_thumbnails, *m_spaces,           *m_workspaces,      *m_icons,   *m_workArea,
                         *this,         shelfServices()};
}

ShelfServices AppState::shelfServices() {
    return ShelfServices{m_settings, *m_platform.shell, *m_files, shelf(), *this};
}

SettingsServices AppState::settingsServices() {
    return SettingsServices{
        m_platform,
        m_settings,
        m_runtime.scheduler,
        m_runtime.notifications,
        *m_permissions,
        *m_shortcuts,
        [this](SettingsTab tab, SettingsNavigation& nav) { return makeSettingsPage(tab, *this, nav); }};
}

CaptureContext AppState::captureContext() {
    return CaptureContext{*m_platform.screens, *m_workArea, m_platform.launcher.get()};
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
    // Only the user's own settings delete what is stored: defaults standing in for a settings file
    // that could not be read are nobody's choice. A switch made in this run is the user's.
    if (m_settings.areStored())
        m_clipboard->purgeStaleStore(m_settings.clipboardEnabled(), m_settings.clipboardRetentionDays());
    m_clipboard->setEnabled(m_settings.clipboardEnabled());
    clipboardPanel().updateStatusItem();
    shelf().syncStatusItem();
    notch().start();
    mouse().apply();
    notchDrop().start();

    m_screensObserver =
        connect(m_platform.screens.get(), &Screens::screensChanged, this, &AppState::screenParametersChanged);

    // What start-up could not take in from the stored files: the user hears of it once. The
    // refused saves matter most; the log has every line.
    const std::optional<QString> clipboardNotice = m_clipboard->takeStoreNotice();
    if (m_workspaces->savesRefused())
        m_toast->show(WorkspaceManager::savesRefusedMessage(),
                      QStringLiteral("exclamationmark.triangle.fill"));
    else if (const auto& notice = m_workspaces->setAsideNotice())
        m_toast->show(*notice, QStringLiteral("exclamationmark.triangle.fill"));
    else if (const auto& problem = m_platform.defaults->loadProblem())
        m_toast->show(*problem, QStringLiteral("exclamationmark.triangle.fill"));
    else if (const auto& aside = m_platform.defaults->setAsideNotice())
        m_toast->show(*aside, QStringLiteral("exclamationmark.triangle.fill"));
    else if (clipboardNotice)
        m_toast->show(*clipboardNotice, QStringLiteral("exclamationmark.triangle.fill"));
    // Shortcuts the desktop refused: the Hotkeys page marks each, but a user who never opens it
    // would press them in vain.
    else if (const std::optional<QString> refused = refusedHotkeysNotice(*m_shortcuts))
        m_toast->show(*refused, QStringLiteral("exclamationmark.triangle.fill"));

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
    SoundOutput& sound = *m_platform.soundOutput;
    notch().showHUD(NotchModel::Kind::volume, sound.isMuted().value_or(false), sound.volume().value_or(0.5f),
                    NotchController::previewDuration);
}

void AppState::permissionsChanged(bool accessibility, bool screenRecording) {
    Q_UNUSED(screenRecording);
    radial().start();
    notch().updateTap();
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

void AppState::showTrayPopover(const QRectF& anchor) {
    shelf().showPopover(ShelfSource::tray(), anchor);
}

void AppState::screenParametersChanged() {
    notchDrop().start();
}

void AppState::settingsChanged(const std::optional<QString>& key) {
    // One action per key; the first row that names the key decides. Keys read where they are
    // used need nothing here; everything else takes the general path at the end. The rows name
    // the store's typed keys, so a misspelt one does not compile.
    namespace Keys = SettingKeys;
    const auto is = [&key](const auto&... keys) { return key && (keys.is(*key) || ...); };
    if (is(Keys::showDockIcon)) {
        m_platform.host->setActivationPolicy(m_settings.showDockIcon()
                                                 ? ApplicationHost::ActivationPolicy::regular
                                                 : ApplicationHost::ActivationPolicy::accessory);
    } else if (is(Keys::radialEnabled, Keys::radialTrigger)) {
        radial().start();
    } else if (is(Keys::hasCompletedOnboarding, Keys::showSettingsOnLaunch, Keys::awakeLastDuration)) {
    } else if (is(Keys::clipboardEnabled)) {
        const bool enabled = m_settings.clipboardEnabled();
        m_clipboard->setEnabled(enabled);
        // Switched on for the first time in this run: the store was read just now.
        if (const auto notice = m_clipboard->takeStoreNotice())
            m_toast->show(*notice, QStringLiteral("exclamationmark.triangle.fill"));
        if (!enabled) {
            m_clipboard->clear();
            m_clipboard->purgeStaleStore(false, 0);
        }
        clipboardPanel().updateStatusItem();
    } else if (is(Keys::showClipboardIcon)) {
        clipboardPanel().updateStatusItem();
    } else if (is(Keys::showFilesIcon, Keys::showTray, Keys::showFiles)) {
        shelf().syncStatusItem();
        m_windows->rebuildVisible();
        sidebar().reload();
    } else if (is(Keys::clipboardRetentionDays)) {
        m_clipboard->applyRetention();
    } else if (is(Keys::clipboardLimit, Keys::clipboardPasteDirectly, Keys::notchAwakeIndicator,
                  Keys::showMenuBarIcon, Keys::notchAirDrop)) {
    } else if (is(Keys::mouseScrollDirection, Keys::reverseMouseHorizontal)) {
        mouse().apply();
    } else if (is(Keys::notchTray)) {
        notchDrop().start();
    } else if (is(Keys::volumeStepPercent, Keys::brightnessStepPercent, Keys::minBrightnessPercent)) {
        notch().loadStepSettings();
    } else if (is(Keys::notchHUD)) {
        notch().updateTap();
    } else if (is(Keys::showAwakeIcon)) {
        m_awake->updateStatusItem();
    } else if (is(Keys::awakeMode)) {
        m_awake->reapplyMode();
    } else {
        m_windows->rebuildVisible();
        sidebar().reload();
        shelf().syncFloatingPanels();
    }
}

} // namespace corvane
