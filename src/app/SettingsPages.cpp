#include "app/SettingsPages.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Recorder.h"
#include "ShortcutKit/Registry.h"
#include "app/AppState.h"
#include "clipboard/ClipboardPanelController.h"
#include "core/StatusItems.h"
#include "settings/AboutView.h"
#include "settings/AppearanceSettings.h"
#include "settings/ClipboardSettings.h"
#include "settings/ExcludedAppsSettings.h"
#include "settings/FilesSettings.h"
#include "settings/GeneralSettings.h"
#include "settings/HotkeySettings.h"
#include "settings/KeepAwakeSettings.h"
#include "settings/LayoutSettings.h"
#include "settings/MouseSettings.h"
#include "settings/OnboardingWindowController.h"
#include "settings/PermissionSettings.h"
#include "settings/SettingsPage.h"
#include "settings/SnapWheelSettings.h"
#include "settings/WorkspaceEditorView.h"
#include "windows/AXWindowService.h"

namespace corvane {

SettingsPage* makeSettingsPage(SettingsTab tab, AppState& state, SettingsNavigation& nav) {
    switch (tab) {
    case SettingsTab::general:
        return new GeneralSettings(state.settings(),
                                   GeneralSettings::Services{state.launchAtLogin(), state.updater(),
                                                             state.statusItems(), *state.platform().screens,
                                                             *state.platform().host});
    case SettingsTab::permissions:
        return new PermissionSettings(state.permissions(), *state.platform().shell, *state.platform().host,
                                      state.awake().canHoldLid(), [&state] { state.onboarding().show(); });
    case SettingsTab::about:
        return new AboutView;
    case SettingsTab::appearance:
        return new AppearanceSettings(state.settings(), state.scheduler());
    case SettingsTab::snapWheel:
        return new SnapWheelSettings(state.settings(), state.scheduler(), state.permissions());
    case SettingsTab::layouts:
        return new LayoutSettings(state.settings(), state);
    case SettingsTab::excluded:
        return new ExcludedAppsSettings(state.settings(), state.icons(), *state.platform().applications,
                                        *state.platform().runningApplications,
                                        AXWindowService::shared().ownPID());
    case SettingsTab::workspaces: {
        auto* page =
            new WorkspaceEditorView(state.workspaces(), nav, state, state.icons(), [&state](int slot) {
                return workspaceShortcutText(state.shortcuts(), slot);
            });
        page->followShortcuts(state.notifications());
        return page;
    }
    case SettingsTab::clipboard: {
        auto shortcutText = [&state]() -> std::optional<QString> {
            return clipboardShortcutText(state.shortcuts());
        };
        return new ClipboardSettings(state.settings(), state.clipboard(),
                                     ShortcutKit::RecorderServices::standard(
                                         state.shortcuts(), state.notifications(), *state.platform().host),
                                     shortcutText, [&state] { state.clipboardPanel().show(); });
    }
    case SettingsTab::hotkeys:
        return new HotkeySettings(state.settingsServices());
    case SettingsTab::files:
        return new FilesSettings(state.settings(), state.files(), state.shelf(), *state.platform().host);
    case SettingsTab::keepAwake:
        return new KeepAwakeSettings(state.settings(), state.awake());
    case SettingsTab::mouse:
        return new MouseSettings(state.settings(), state.mouse());
    default:
        // Pages whose controls are still to come show their title alone.
        return new SettingsPage(tab);
    }
}

} // namespace corvane
