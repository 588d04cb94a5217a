#include "ShortcutKit/ShortcutConflicts.h"

#include "ShortcutKit/Shortcut.h"

namespace corvane::ShortcutKit {

std::optional<QString> DesktopShortcutConflicts::menuItemUsing(const Shortcut& shortcut) const {
    return shortcut.takenByMainMenu(m_menuItems, m_keyboard);
}

bool DesktopShortcutConflicts::isTakenBySystem(const Shortcut& shortcut) const {
    return shortcut.isTakenBySystem(m_center);
}

bool DesktopShortcutConflicts::isDisallowed(const Shortcut& shortcut) const {
    (void)shortcut;
    return false;
}

} // namespace corvane::ShortcutKit
