#include "clipboard/ClipboardPanelModel.h"

#include "core/SearchText.h"

namespace corvane {

void ClipboardPanelModel::setQuery(const QString& query) {
    if (query == m_query)
        return;
    m_query = query;
    Q_EMIT queryChanged();
}

void ClipboardPanelModel::setSelectedIndex(int index) {
    if (index == m_selectedIndex)
        return;
    m_selectedIndex = index;
    Q_EMIT selectedIndexChanged();
}

void ClipboardPanelModel::setSearchText(const QString& text) {
    setQuery(text);
    setSelectedIndex(0);
}

std::vector<ClipItem> filteredClips(const std::vector<ClipItem>& items, const ClipboardPanelModel& model) {
    const QString query = trimBlanks(model.query());
    if (query.isEmpty())
        return items;
    std::vector<ClipItem> shown;
    for (const ClipItem& item : items)
        if (item.searchText().contains(query, Qt::CaseInsensitive))
            shown.push_back(item);
    return shown;
}

} // namespace corvane
