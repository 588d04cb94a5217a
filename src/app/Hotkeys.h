#pragma once

#include <QString>

#include <optional>

namespace corvane {

namespace ShortcutKit {
class Registry;
}

class AppState;

// Seeds every default and binds every application shortcut name (ShortcutKit/AppShortcuts.h) to
// the feature it drives, all on key down. Called once, at start-up.
void registerHotkeys(AppState& state);

// What to tell at start-up when the desktop refused some of the shortcuts (a window manager holds
// its own Ctrl+Alt+arrows): how many, or which one, do nothing and where to change them. None when
// every shortcut works.
std::optional<QString> refusedHotkeysNotice(const ShortcutKit::Registry& shortcuts);

} // namespace corvane
