#include "settings/SettingsNavigation.h"

namespace corvane {

void SettingsNavigation::setTab(SettingsTab tab) {
    if (tab == SettingsTab::keep || tab == m_tab)
        return;
    m_tab = tab;
    Q_EMIT tabChanged(tab);
    Q_EMIT changed();
}

void SettingsNavigation::setSelectedWorkspace(std::optional<QUuid> id) {
    if (id == m_selectedWorkspace)
        return;
    m_selectedWorkspace = id;
    Q_EMIT selectedWorkspaceChanged(id);
    Q_EMIT changed();
}

} // namespace corvane
