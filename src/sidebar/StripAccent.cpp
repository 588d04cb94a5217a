#include "sidebar/StripAccent.h"

#include "core/Colors.h"
#include "core/Settings.h"

namespace corvane {

QColor stripAccent(const Settings& settings) {
    return accentColor(settings.sidebarAccent());
}

} // namespace corvane
