#include "settings/WorkspaceEditing.h"

#include <algorithm>

namespace corvane::WorkspaceEditing {

void moveItem(std::vector<WorkspaceItem>& items, int index, int step) {
    const int target = index + step;
    const int count = static_cast<int>(items.size());
    if (index < 0 || index >= count || target < 0 || target >= count)
        return;
    std::swap(items[static_cast<size_t>(index)], items[static_cast<size_t>(target)]);
}

void removeItem(std::vector<WorkspaceItem>& items, const QUuid& id) {
    std::erase_if(items, [&id](const WorkspaceItem& item) { return item.id == id; });
}

std::optional<QString> titleFragment(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

QString slotLabel(int slot, const std::optional<QString>& shortcutText) {
    if (shortcutText && !shortcutText->isEmpty())
        return *shortcutText;
    return QStringLiteral("Slot ") + QString::number(slot);
}

QString windowsHeader(size_t count) {
    return QStringLiteral("Windows (%1) \u2014 first one ends up focused").arg(count);
}

} // namespace corvane::WorkspaceEditing
