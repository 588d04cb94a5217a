#pragma once

#include "sidebar/StripServices.h"
#include "workspaces/Workspace.h"

#include <QMenu>

namespace corvane {

// The menu of a workspace chip: restore, update with the current windows, edit in the settings,
// and delete (at once, without asking).
class WorkspaceChipMenu : public QMenu {
    Q_OBJECT
public:
    WorkspaceChipMenu(const StripServices& services, Workspace workspace, QWidget* parent = nullptr);

    const Workspace& workspace() const { return m_workspace; }

private:
    StripServices m_services;
    Workspace m_workspace;
};

} // namespace corvane
