#include "settings/SettingsPages.h"

#include "app/AppState.h"
#include "settings/HotkeySettings.h"
#include "settings/KeepAwakeSettings.h"
#include "settings/MouseSettings.h"
#include "settings/SettingsPage.h"

namespace corvane {

SettingsPage* makeSettingsPage(SettingsTab tab, AppState& state, SettingsNavigation& nav) {
    Q_UNUSED(nav);
    if (tab == SettingsTab::hotkeys)
        return new HotkeySettings(state);
    if (tab == SettingsTab::keepAwake)
        return new KeepAwakeSettings(state.settings(), state.awake());
    if (tab == SettingsTab::mouse)
        return new MouseSettings(state.settings(), state.mouse());
    // Pages whose controls are still to come show their title alone.
    return new SettingsPage(tab);
}

} // namespace corvane
