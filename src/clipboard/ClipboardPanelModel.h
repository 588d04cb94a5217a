#pragma once

#include "clipboard/ClipItem.h"

#include <QObject>
#include <QString>

#include <vector>

namespace corvane {

// The strip's search text and the selected card, as a position in the filtered list. The
// selection is not kept inside the list: readers check its bounds.
class ClipboardPanelModel : public QObject {
    Q_OBJECT
public:
    const QString& query() const { return m_query; }
    void setQuery(const QString& query);
    int selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(int index);
    // What the search field writes: the text, and the first card selected again.
    void setSearchText(const QString& text);

Q_SIGNALS:
    void queryChanged();
    void selectedIndexChanged();

private:
    QString m_query;
    int m_selectedIndex = 0;
};

// The entries the strip shows, in history order: those whose search text holds the query
// (spaces and tabs around it ignored, case ignored), or all of them for an empty query.
std::vector<ClipItem> filteredClips(const std::vector<ClipItem>& items, const ClipboardPanelModel& model);

} // namespace corvane
