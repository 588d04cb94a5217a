#pragma once

#include <QIcon>

namespace corvane {

// The status item's picture: a rounded frame holding three short bars, 18 x 14 logical pixels
// with one pixel of outline around, drawn at 1x and 2x. X trays draw it as it is (they tint
// nothing), so the mark is light with a dark outline, legible on dark and light panels alike.
// Built on first use; main thread only.
QIcon menuBarTemplateImage();

} // namespace corvane
