#include "settings/SettingsTab.h"

#include <array>

namespace corvane {
namespace {
constexpr std::array<std::string_view, 13> rawValues = {
    "general", "appearance", "files",  "clipboard", "keepAwake",   "snapWheel", "layouts",
    "workspaces", "mouse",   "hotkeys", "excluded", "permissions", "about"};
}

QString rawValue(SettingsTab tab) {
    const auto index = static_cast<size_t>(tab);
    if (index >= rawValues.size()) return {};
    return QString::fromLatin1(rawValues[index].data(), static_cast<qsizetype>(rawValues[index].size()));
}

SettingsTab settingsTabFromRawValue(const QString& raw) {
    for (size_t i = 0; i < rawValues.size(); ++i) {
        if (raw == QLatin1String(rawValues[i].data(), static_cast<qsizetype>(rawValues[i].size())))
            return static_cast<SettingsTab>(i);
    }
    return SettingsTab::keep;
}

SettingsTab settingsTabFromOrdinal(int ordinal) {
    if (ordinal < 0 || ordinal >= static_cast<int>(rawValues.size())) return SettingsTab::keep;
    return static_cast<SettingsTab>(ordinal);
}

} // namespace corvane
