#pragma once

#include "sidebar/StripServices.h"
#include "windows/WindowInfo.h"

#include <QMenu>

namespace corvane {

// The menu of a window cell: focus, add to a workspace, pin, minimise or restore, close, and
// hide or quit the window's program. Built afresh for each opening from the window as the strip
// last drew it and the current workspaces.
class WindowContextMenu : public QMenu {
    Q_OBJECT
public:
    WindowContextMenu(const StripServices& services, WindowInfo window, QWidget* parent = nullptr);

    const WindowInfo& window() const { return m_window; }
    QMenu* workspaceMenu() const { return m_workspaceMenu; }

private:
    void buildWorkspaceMenu();
    void hideApplication();
    void quitApplication();

    StripServices m_services;
    WindowInfo m_window;
    QMenu* m_workspaceMenu = nullptr;
};

} // namespace corvane
