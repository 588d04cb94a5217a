#include "ShortcutKit/RecorderTexts.h"

#include <cstring>

namespace corvane::ShortcutKit {

namespace {
struct Text {
    const char* key;
    const char* text;
};

constexpr Text texts[] = {
    {"record_shortcut", "Record Shortcut"},
    {"press_shortcut", "Press Shortcut"},
    {"keyboard_shortcut_used_by_menu_item",
     "This keyboard shortcut cannot be used as it’s already used by the “%1” menu item."},
    {"keyboard_shortcut_used_by_system",
     "This keyboard shortcut cannot be used as it’s already a system-wide keyboard shortcut."},
    {"keyboard_shortcuts_can_be_changed",
     "Most system-wide keyboard shortcuts can be changed in the settings of your desktop."},
    {"keyboard_shortcut_disallowed",
     "This keyboard shortcut cannot be used: Corvane’s volume & brightness display already takes this "
     "key with any modifier keys."},
    {"ok", "OK"},
    {"force_use_shortcut", "Use Anyway"},
    {"space_key", "Space"},
};
} // namespace

QString recorderText(const char* key) {
    for (const Text& entry : texts)
        if (std::strcmp(entry.key, key) == 0)
            return QString::fromUtf8(entry.text);
    return QString::fromUtf8(key);
}

} // namespace corvane::ShortcutKit
