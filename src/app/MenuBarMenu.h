#pragma once

#include "runtime/NotificationCenter.h"
#include "settings/SettingsTab.h"

#include <QMenu>

namespace corvane {

class AppState;
struct Workspace;

// The pull-down menu of the tray icon: the way in to the main features while the strip and the
// settings window are closed. It keeps no state of its own; it lists its items afresh before it
// opens and whenever a preference, a permission, a workspace or a workspace shortcut it shows
// changes, so that it is always current, also while open.
class MenuBarMenu : public QMenu {
    Q_OBJECT
public:
    explicit MenuBarMenu(AppState& state, QWidget* parent = nullptr);
    ~MenuBarMenu() override;

    // Opens or fronts the settings window on `tab`; `SettingsTab::keep` keeps the page last shown.
    void openSettings(SettingsTab tab);
    // Lists the items again from the current state.
    void rebuild();

    // The submenu of layout presets.
    QMenu& arrangeMenu() { return *m_arrange; }

private:
    void addSidebarItem();
    void addWorkspaceSection();
    void addApplicationItems();
    QString workspaceTitle(const Workspace& workspace);
    void checkForUpdates();

    AppState& m_state;
    QMenu* m_arrange;
    ObserverToken m_shortcutObserver;
};

} // namespace corvane
