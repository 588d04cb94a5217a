#include "settings/SettingsPages.h"

#include "app/AppState.h"
#include "settings/AppearanceSettings.h"
#include "settings/HotkeySettings.h"
#include "settings/SettingsPage.h"

namespace corvane {

SettingsPage* makeSettingsPage(SettingsTab tab, AppState& state, SettingsNavigation& nav) {
    Q_UNUSED(nav);
    switch (tab) {
    case SettingsTab::appearance:
        return new AppearanceSettings(state.settings());
    case SettingsTab::hotkeys:
        return new HotkeySettings(state);
    default:
        // Pages whose controls are still to come show their title alone.
        return new SettingsPage(tab);
    }
}

} // namespace corvane
