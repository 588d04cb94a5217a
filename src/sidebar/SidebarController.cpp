#include "sidebar/SidebarController.h"

#include "app/AppState.h"
#include "app/Settings.h"

namespace corvane {

void SidebarController::start() { m_started = true; }

void SidebarController::reload() { ++m_reloadCount; }

void SidebarController::toggle() {
    Settings& settings = m_state.settings();
    settings.setSidebarEnabled(!settings.sidebarEnabled());
}

double SidebarController::reservedWidth() const {
    const Settings& settings = m_state.settings();
    if (!settings.sidebarEnabled() || settings.autoHide() || !m_panel) return 0;
    return m_panel->width() + 16 + 8;
}

} // namespace corvane
