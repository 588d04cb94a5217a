#pragma once

#include <QString>

namespace corvane {

// What the two required "permissions" are on X11: nothing to grant, but two things the desktop
// must offer. Rows, the help window and the welcome screen name them alike.
inline QString windowManagerPermissionTitle() {
    return QStringLiteral("EWMH Window Manager");
}
inline QString compositePermissionTitle() {
    return QStringLiteral("Composite Extension");
}

} // namespace corvane
