#include "app/AppShelfHost.h"

#include "app/AppState.h"
#include "core/ToastController.h"
#include "settings/SettingsWindowController.h"
#include "sidebar/SidebarController.h"
#include "windows/ThumbnailService.h"

namespace corvane {

void AppShelfHost::hideStripHoverPreview() {
    SidebarController& strip = m_state.sidebar();
    strip.hoverTask().cancel();
    strip.preview().hide();
    m_state.thumbnails().clearHover();
}

void AppShelfHost::openFilesSettings() {
    m_state.settingsWindow().show(SettingsTab::files);
}

void AppShelfHost::showFailure(const QString& message) {
    m_state.toast().show(message, QStringLiteral("exclamationmark.triangle.fill"));
}

} // namespace corvane
