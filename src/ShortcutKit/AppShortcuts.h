#pragma once

#include "ShortcutKit/Name.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace corvane {

namespace ShortcutKit {
class Registry;
}

// The application's 21 global shortcuts, each a name with its default. Using a name's default
// never overwrites a stored choice: defaults are seeded once, when the bindings are made.
namespace AppShortcuts {

const ShortcutKit::Name& toggleSidebar();
const ShortcutKit::Name& saveWorkspace();
const ShortcutKit::Name& windowSwitcher();
const ShortcutKit::Name& clipboardHistory();
const ShortcutKit::Name& snapLeft();
const ShortcutKit::Name& snapRight();
const ShortcutKit::Name& snapTop();
const ShortcutKit::Name& snapBottom();
const ShortcutKit::Name& snapMaximize();
const ShortcutKit::Name& snapCenter();
const ShortcutKit::Name& snapRestore();
const ShortcutKit::Name& applyLayout();

// restoreWorkspace1 to restoreWorkspace9; index 0 is slot 1.
const std::array<ShortcutKit::Name, 9>& restoreWorkspaceNames();

// The snapping shortcuts with the titles the settings show for them, in display order.
struct SnapActionEntry {
    ShortcutKit::Name name;
    QString title;
};
const std::vector<SnapActionEntry>& snapActionEntries();

// All 21 names: the four application names, the snapping ones, then the workspace slots. This is
// also the order in which "Reset All to Defaults" resets them.
const std::vector<ShortcutKit::Name>& allNames();

} // namespace AppShortcuts

// The display text of the shortcut that restores the workspace on `slot`; none outside 1 to 9
// or when no shortcut is bound.
std::optional<QString> workspaceShortcutText(ShortcutKit::Registry& shortcuts, int slot);

// The display text of the clipboard strip's shortcut, or of its default when none is stored.
QString clipboardShortcutText(ShortcutKit::Registry& shortcuts);

} // namespace corvane
