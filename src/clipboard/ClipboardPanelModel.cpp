#include "clipboard/ClipboardPanelModel.h"

namespace corvane {

namespace {

// Spaces and tabs only: a pasted newline is part of what is searched for.
QString trimBlanks(const QString& text) {
    qsizetype start = 0, end = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (start < end && blank(text[start]))
        ++start;
    while (end > start && blank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

} // namespace

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
