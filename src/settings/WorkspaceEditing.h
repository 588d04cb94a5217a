#pragma once

#include "workspaces/Workspace.h"

#include <QString>

#include <optional>

namespace corvane {

// The editing rules of the workspace editor, on a copy of a workspace.
namespace WorkspaceEditing {

// Swaps the item at `index` with the one `step` places on (-1 up, +1 down); nothing when either
// place lies outside the list.
void moveItem(std::vector<WorkspaceItem>& items, int index, int step);
// Drops every item with that id; the others keep their order.
void removeItem(std::vector<WorkspaceItem>& items, const QUuid& id);
// What a title field stores: none for the empty text, any other text as typed.
std::optional<QString> titleFragment(const QString& text);
// A hot-key slot's label: its shortcut's text, else "Slot " and the number.
QString slotLabel(int slot, const std::optional<QString>& shortcutText);
// "Windows (n) — first one ends up focused".
QString windowsHeader(size_t count);

} // namespace WorkspaceEditing
} // namespace corvane
