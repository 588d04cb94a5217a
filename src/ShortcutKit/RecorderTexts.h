#pragma once

#include <QString>

namespace corvane::ShortcutKit {

// The recorder's user-visible texts, looked up by key ("record_shortcut", "press_shortcut",
// "keyboard_shortcut_used_by_menu_item" (with %1 for the item's text),
// "keyboard_shortcut_used_by_system", "keyboard_shortcuts_can_be_changed",
// "keyboard_shortcut_disallowed", "ok", "force_use_shortcut"). A key without a text shows as
// the key itself.
QString recorderText(const char* key);

} // namespace corvane::ShortcutKit
