#include "settings/SnapWheelLabels.h"

namespace corvane {

Choices<RadialTrigger> triggerChoices() {
    return {{RadialTrigger::fn, QStringLiteral("Fn / Menu key")},
            {RadialTrigger::rightOption, QStringLiteral("Right Alt")},
            {RadialTrigger::rightCommand, QStringLiteral("Right Meta")},
            {RadialTrigger::rightControl, QStringLiteral("Right Ctrl")}};
}

QString triggerKeyName(RadialTrigger trigger) {
    if (trigger == RadialTrigger::fn)
        return QStringLiteral("Fn or Menu");
    for (const auto& [value, label] : triggerChoices())
        if (value == trigger)
            return label;
    return {};
}

Choices<RadialCenterAction> centerActionChoices() {
    return {{RadialCenterAction::maximize, QStringLiteral("Maximize")},
            {RadialCenterAction::almostMaximize, QStringLiteral("Almost maximize")},
            {RadialCenterAction::center, QStringLiteral("Center")},
            {RadialCenterAction::none, QStringLiteral("Do nothing")}};
}

QString centerActionLabel(RadialCenterAction action) {
    for (const auto& [value, label] : centerActionChoices())
        if (value == action)
            return label;
    return {};
}

} // namespace corvane
