#include "sidebar/StripAccent.h"

#include "core/Colors.h"
#include "core/Settings.h"

#include <QGuiApplication>
#include <QPalette>

namespace corvane {

QColor stripAccent(const Settings& settings) {
    if (settings.sidebarAccent() == AccentChoice::lumenForge)
        return brandColor();
    return QGuiApplication::palette().color(QPalette::Highlight);
}

} // namespace corvane
