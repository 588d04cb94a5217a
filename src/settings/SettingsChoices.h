#pragma once

#include "settings/BoundKey.h"

namespace corvane {

// "Lumenforge red" and "System accent", as every page that offers an accent names them.
Choices<AccentChoice> accentChoices();

// Every tiling preset by its title, in case order.
Choices<LayoutPreset> layoutPresetChoices();

} // namespace corvane
