#include "settings/SettingsWindowController.h"

namespace corvane {

void SettingsWindowController::show(SettingsTab tab, std::optional<QUuid> workspace) {
    m_nav.setTab(tab);
    if (workspace) m_nav.setSelectedWorkspace(workspace);
    ++m_showCount;
}

} // namespace corvane
