#include "settings/SettingsChoices.h"

namespace corvane {

Choices<AccentChoice> accentChoices() {
    return {{AccentChoice::lumenForge, QStringLiteral("Lumenforge red")},
            {AccentChoice::system, QStringLiteral("System accent")}};
}

Choices<LayoutPreset> layoutPresetChoices() {
    Choices<LayoutPreset> choices;
    for (const auto& [preset, raw] : EnumCases<LayoutPreset>::cases)
        choices.emplace_back(preset, title(preset));
    return choices;
}

} // namespace corvane
