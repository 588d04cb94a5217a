#pragma once

#include <QIcon>

namespace corvane {

// The status item's picture: a rounded frame holding three short bars, black on transparent and
// marked as a mask so that the tray may tint it. 18 x 14 logical pixels, drawn at 1x and 2x.
// Built on first use; main thread only.
QIcon menuBarTemplateImage();

} // namespace corvane
