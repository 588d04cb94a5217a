#pragma once

#include "ShortcutKit/Name.h"
#include "ShortcutKit/Shortcut.h"

#include <optional>

class QAction;

namespace corvane {
class Keyboard;
class NotificationCenter;
} // namespace corvane

namespace corvane::ShortcutKit {

class Registry;

// Menu items that show a named shortcut and follow it as the user records another. The shortcuts
// and the notification centre must outlive the items bound to names.
namespace MenuItemShortcut {

// Makes the item show the name's stored shortcut and follow its changes. The item's own
// shortcut, saved the first time a name takes it over, shows while the name has none. With no
// name, the item gets its own saved shortcut back (none when it was never bound) and follows
// nothing.
void setShortcutFor(QAction& item, const std::optional<Name>& name, Registry& shortcuts,
                    NotificationCenter& notifications);
// Sets the item's shortcut directly (none removes it) and stops following a name.
void setShortcut(QAction& item, const std::optional<Shortcut>& shortcut, const Keyboard& keyboard);

} // namespace MenuItemShortcut

} // namespace corvane::ShortcutKit
