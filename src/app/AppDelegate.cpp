#include "app/AppDelegate.h"

#include "app/AppState.h"
#include "clipboard/ClipboardHistory.h"
#include "settings/SettingsWindowController.h"
#include "system/AwakeController.h"
#include "system/MouseController.h"
#include "workspaces/WorkspaceManager.h"

namespace corvane {

void AppDelegate::applicationDidFinishLaunching() {
    m_state.start(wasLaunchedAsLoginItem());
}

void AppDelegate::applicationShouldHandleReopen() {
    m_state.settingsWindow().show(SettingsTab::keep);
}

void AppDelegate::applicationWillTerminate() {
    // Quitting and a termination signal can both end up here; the writes happen once.
    if (m_terminated)
        return;
    m_terminated = true;
    m_state.workspaces().flushOnTerminate();
    m_state.awake().releaseAll();
    // The mice's scroll direction lives in the display server: give it back before leaving.
    m_state.mouse().restoreOriginals();
    m_state.clipboard().flushForTermination();
    m_state.platform().defaults->flush();
}

void AppDelegate::applicationLostDisplay() {
    if (m_terminated)
        return;
    m_terminated = true;
    m_state.workspaces().flushOnTerminate();
    m_state.clipboard().flushForTermination();
    m_state.platform().defaults->flush();
}

bool AppDelegate::wasLaunchedAsLoginItem() const {
    UserDefaults& defaults = *m_state.platform().defaults;
    if (auto marker = defaults.argument("launchedAtLogin");
        marker && marker->is_boolean() && marker->get<bool>())
        return true;
    return m_state.platform().shell->systemUptime().count() < 120.0;
}

} // namespace corvane
