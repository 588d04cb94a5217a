#include "ShortcutKit/ShortcutConflicts.h"

#include "ShortcutKit/HotKeyCenter.h"
#include "ShortcutKit/Shortcut.h"

namespace corvane::ShortcutKit {

std::optional<QString> DesktopShortcutConflicts::menuItemUsing(const Shortcut& shortcut) const {
    return shortcut.takenByMainMenu(m_menuItems, m_keyboard);
}

bool DesktopShortcutConflicts::isTakenBySystem(const Shortcut& shortcut) const {
    return shortcut.isTakenBySystem(m_center);
}

bool DesktopShortcutConflicts::isDisallowed(const Shortcut& shortcut) const {
    return m_center.isHeldByOwnKeyTap(shortcut.carbonKeyCode, shortcut.carbonModifiers);
}

} // namespace corvane::ShortcutKit
