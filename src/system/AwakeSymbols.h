#pragma once

#include "core/AwakeMode.h"

#include <QIcon>
#include <QString>

namespace corvane {

// The status item's picture: a cup while the computer is kept awake, "zzz" while it may sleep,
// drawn in the panel's text colour.
QIcon awakeStatusIcon(bool active);
// The picture of a menu row by its symbol name ("clock", "display", ...), from the icon theme;
// an empty icon where the theme has none, or for an empty name.
QIcon awakeMenuIcon(const QString& symbol);
// The symbol name of a mode's menu row and picker option.
QString modeSymbol(AwakeMode mode);

} // namespace corvane
