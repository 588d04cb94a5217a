#include "settings/SettingsSidebar.h"

#include "settings/SettingsNavigation.h"
#include "settings/SettingsTabIcon.h"

namespace corvane {

SettingsSidebar::SettingsSidebar(SettingsNavigation& nav, QWidget* parent) : QListWidget(parent), m_nav(nav) {
    setObjectName(QStringLiteral("settingsSidebar"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(settingsTabIconSize, settingsTabIconSize));
    setSpacing(2);
    setFrameShape(QFrame::NoFrame);
    setMinimumWidth(minimumWidth);
    setMaximumWidth(maximumWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    for (SettingsTab tab : allSettingsTabs()) {
        auto* item = new QListWidgetItem(settingsTabIcon(tab), title(tab), this);
        item->setData(Qt::UserRole, static_cast<int>(tab));
        item->setSizeHint(QSize(idealWidth - 16, 30));
    }
    selectCurrentTab();

    connect(this, &QListWidget::itemSelectionChanged, this, &SettingsSidebar::selectionWasChanged);
    connect(&m_nav, &SettingsNavigation::tabChanged, this, &SettingsSidebar::selectCurrentTab);
}

QRect SettingsSidebar::rowRect(SettingsTab tab) const {
    const QListWidgetItem* row = item(static_cast<int>(tab));
    return row ? visualItemRect(row) : QRect();
}

void SettingsSidebar::selectCurrentTab() {
    const int row = static_cast<int>(m_nav.tab());
    if (currentRow() == row && item(row) && item(row)->isSelected())
        return;
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void SettingsSidebar::selectionWasChanged() {
    const QList<QListWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) {
        // A selection of nothing is never stored: the current page stays.
        selectCurrentTab();
        return;
    }
    m_nav.setTab(settingsTabFromOrdinal(selected.front()->data(Qt::UserRole).toInt()));
}

} // namespace corvane
