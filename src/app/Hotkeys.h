#pragma once

namespace corvane {

class AppState;

// Seeds every default and binds every application shortcut name (ShortcutKit/AppShortcuts.h) to
// the feature it drives, all on key down. Called once, at start-up.
void registerHotkeys(AppState& state);

} // namespace corvane
