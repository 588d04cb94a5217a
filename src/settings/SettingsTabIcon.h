#pragma once

#include "settings/SettingsTab.h"

#include <QIcon>

namespace corvane {

// The sidebar row's picture: the page's symbol in white on a small rounded square filled with a
// gradient of the page's tint.
QIcon settingsTabIcon(SettingsTab tab);

inline constexpr int settingsTabIconSize = 22;

} // namespace corvane
