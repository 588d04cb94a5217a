#pragma once

#include <QColor>

namespace corvane {

class Settings;

// The colour of selections and of the current desktop in the strip and the file lists: the
// brand colour, or the desktop's accent colour when the user chose the system's.
QColor stripAccent(const Settings& settings);

} // namespace corvane
