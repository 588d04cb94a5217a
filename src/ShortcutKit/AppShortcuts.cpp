#include "ShortcutKit/AppShortcuts.h"

namespace corvane {

void registerHotkeys(AppState& state) { Q_UNUSED(state); }

std::optional<QString> workspaceShortcutText(int slot) {
    Q_UNUSED(slot);
    return std::nullopt;
}

} // namespace corvane
