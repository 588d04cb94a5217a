#pragma once

#include "core/SettingsEnums.h"

class QWidget;

namespace corvane {

// The translucent rounded background of a floating panel in the user's style, with `content`
// laid over it and filling it. The corners keep `cornerRadius` at any size (at most half the
// shorter side, so a large radius gives a capsule). With `dark` the content is drawn in light
// colours. The caller owns the result, usually by making it a panel's content view.
QWidget* makePanelBackground(PanelStyle style, QWidget* content, double cornerRadius);

} // namespace corvane
