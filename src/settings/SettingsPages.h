#pragma once

#include "settings/SettingsTab.h"

namespace corvane {

struct SettingsServices;
class SettingsNavigation;
class SettingsPage;

// Builds the page the settings window shows for `tab`, without a parent.
SettingsPage* makeSettingsPage(SettingsTab tab, const SettingsServices& services, SettingsNavigation& nav);

} // namespace corvane
