#pragma once

#include "core/SettingsEnums.h"
#include "settings/BoundKey.h"

namespace corvane {

// The trigger keys as a PC keyboard names them. The fn trigger is the Fn key where the keymap has
// one, else the Menu key.
Choices<RadialTrigger> triggerChoices();
// The key in the page's "Hold … and move the mouse".
QString triggerKeyName(RadialTrigger trigger);

Choices<RadialCenterAction> centerActionChoices();
QString centerActionLabel(RadialCenterAction action);

} // namespace corvane
