#include "sidebar/WindowContextMenu.h"

#include "core/MenuText.h"
#include "platform/Platform.h"
#include "platform/RunningApplications.h"
#include "sidebar/StripServices.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"

namespace corvane {

WindowContextMenu::WindowContextMenu(const StripServices& services, WindowInfo window, QWidget* parent)
    : QMenu(parent), m_services(services), m_window(std::move(window)) {
    // The actions act on the window as the strip last drew it; the titles read the same copy.
    addAction(QStringLiteral("Focus"), this, [this] { m_services.actions.focusWindow(m_window); });
    m_workspaceMenu = addMenu(QStringLiteral("Add to Workspace"));
    buildWorkspaceMenu();
    addAction(m_window.isPinned ? QStringLiteral("Unpin") : QStringLiteral("Pin to Top"), this,
              [this] { m_services.windows.togglePin(m_window.windowID); });
    addSeparator();
    addAction(m_window.isMinimized ? QStringLiteral("Restore") : QStringLiteral("Minimize"), this,
              [this] { m_services.actions.setMinimized(m_window); });
    addAction(QStringLiteral("Close Window"), this, [this] { m_services.actions.closeWindow(m_window); });
    addSeparator();
    addAction(QStringLiteral("Hide ") + literalMenuText(m_window.appName), this,
              [this] { hideApplication(); });
    addAction(QStringLiteral("Quit ") + literalMenuText(m_window.appName), this,
              [this] { quitApplication(); });
}

void WindowContextMenu::buildWorkspaceMenu() {
    const std::vector<Workspace>& workspaces = m_services.workspaces.workspaces();
    for (const Workspace& workspace : workspaces) {
        // Names are the user's own text, shown as typed.
        QAction* item = m_workspaceMenu->addAction(literalMenuText(workspace.name));
        connect(item, &QAction::triggered, this, [this, id = workspace.id] {
            m_services.actions.addWindowToWorkspace(m_window.windowID, id);
        });
    }
    if (!workspaces.empty())
        m_workspaceMenu->addSeparator();
    m_workspaceMenu->addAction(QStringLiteral("New Workspace\u2026"), this,
                               [this] { m_services.actions.saveWorkspace({m_window}); });
}

void WindowContextMenu::hideApplication() {
    RunningApplications& running = *m_services.platform.runningApplications;
    if (running.application(m_window.pid))
        running.hide(m_window.pid);
}

// The desktop offers no way to ask another program to quit as a whole. Closing each of its
// windows is the polite equivalent: every program gets its usual chance to ask about unsaved work.
void WindowContextMenu::quitApplication() {
    if (!m_services.platform.runningApplications->application(m_window.pid))
        return;
    for (const WindowInfo& window : m_services.windows.allWindows()) {
        if (window.pid == m_window.pid)
            m_services.actions.closeWindow(window);
    }
}

} // namespace corvane
