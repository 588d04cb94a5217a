#include "settings/SettingsPages.h"

#include "settings/HotkeySettings.h"
#include "settings/SettingsPage.h"

namespace corvane {

SettingsPage* makeSettingsPage(SettingsTab tab, const SettingsServices& services, SettingsNavigation& nav) {
    Q_UNUSED(nav);
    if (tab == SettingsTab::hotkeys)
        return new HotkeySettings(services);
    // Pages whose controls are still to come show their title alone.
    return new SettingsPage(tab);
}

} // namespace corvane
