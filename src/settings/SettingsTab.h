#pragma once

#include <QColor>
#include <QString>

#include <array>

namespace corvane {

// The pages of the settings window, by ordinal. `keep` stands for no tab: showing the window
// with it keeps the page that is selected.
enum class SettingsTab {
    general,
    appearance,
    files,
    clipboard,
    keepAwake,
    snapWheel,
    layouts,
    workspaces,
    mouse,
    hotkeys,
    excluded,
    permissions,
    about,
    keep
};

// The thirteen pages in the order the sidebar lists them (`keep` is not a page).
const std::array<SettingsTab, 13>& allSettingsTabs();

// The raw value of a page ("general" ... "about"); empty for `keep`. It is also the value the
// "settingsTab" launch argument accepts.
QString rawValue(SettingsTab tab);
// The page whose raw value is exactly `raw` (case matters); `keep` for any other text.
SettingsTab settingsTabFromRawValue(const QString& raw);
// The page with that ordinal (0 to 12), `keep` for 13 and anything out of range.
SettingsTab settingsTabFromOrdinal(int ordinal);

// What the sidebar row and the page heading say; `appearance` is the page titled "Sidebar".
QString title(SettingsTab tab);
// The name of the picture shown in the sidebar row.
QString symbolName(SettingsTab tab);
// The colour of the square behind that picture.
QColor tint(SettingsTab tab);

} // namespace corvane
