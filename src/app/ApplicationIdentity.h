#pragma once

#include <QIcon>

namespace corvane {

// The product's icon: the one installed in the icon theme, carried inside the program as well so
// that a build run where it was built shows it too.
QIcon productIcon();

// Tells the desktop who the process is: every window without an icon of its own (the welcome and
// settings windows, the floating file panels) carries the product's icon in taskbars and window
// lists, and the windows belong to the desktop entry "corvane". Call once the application exists.
void setApplicationIdentity();

} // namespace corvane
