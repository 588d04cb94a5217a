#pragma once

#include <QString>

#include <optional>

namespace corvane {

class AppState;

// Binds every application shortcut name to its action.
void registerHotkeys(AppState& state);
// The display text of the shortcut that restores the workspace on `slot`; none outside 1 to 9
// or when no shortcut is bound.
std::optional<QString> workspaceShortcutText(int slot);

} // namespace corvane
