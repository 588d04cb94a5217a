#pragma once

#include "workspaces/Workspace.h"

#include <QMenu>

namespace corvane {

class AppState;

// The menu of a workspace chip: restore, update with the current windows, edit in the settings,
// and delete (at once, without asking).
class WorkspaceChipMenu : public QMenu {
    Q_OBJECT
public:
    WorkspaceChipMenu(AppState& state, Workspace workspace, QWidget* parent = nullptr);

    const Workspace& workspace() const { return m_workspace; }

private:
    AppState& m_state;
    Workspace m_workspace;
};

} // namespace corvane
