#include "core/LayoutPreset.h"

#include <QCoreApplication>

namespace corvane {

QString title(LayoutPreset preset) {
    switch (preset) {
    case LayoutPreset::halves:
        return QCoreApplication::translate("LayoutPreset", "Halves 50/50");
    case LayoutPreset::sixtyForty:
        return QCoreApplication::translate("LayoutPreset", "60 / 40");
    case LayoutPreset::thirds:
        return QCoreApplication::translate("LayoutPreset", "Thirds");
    case LayoutPreset::mainStack:
        return QCoreApplication::translate("LayoutPreset", "Main + Stack");
    case LayoutPreset::grid:
        return QCoreApplication::translate("LayoutPreset", "Grid");
    case LayoutPreset::maximize:
        return QCoreApplication::translate("LayoutPreset", "Maximize All");
    }
    return {};
}

} // namespace corvane
