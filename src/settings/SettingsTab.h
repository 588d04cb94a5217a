#pragma once

#include <QString>

#include <optional>
#include <string_view>

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

// The raw value of a page ("general" ... "about"); empty for `keep`.
QString rawValue(SettingsTab tab);
// The page whose raw value is exactly `raw`; `keep` for any other text.
SettingsTab settingsTabFromRawValue(const QString& raw);
// The page with that ordinal (0 to 12), `keep` for 13 and anything out of range.
SettingsTab settingsTabFromOrdinal(int ordinal);

} // namespace corvane
