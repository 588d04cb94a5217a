#pragma once

#include "settings/SettingsTab.h"

namespace corvane {

class AppState;
class SettingsNavigation;
class SettingsPage;

// Builds the page the settings window shows for `tab`, without a parent, over the services of the
// feature the page sets up.
SettingsPage* makeSettingsPage(SettingsTab tab, AppState& state, SettingsNavigation& nav);

} // namespace corvane
