#include "sidebar/WorkspaceChipMenu.h"

#include "core/MenuText.h"
#include "platform/Platform.h"
#include "sidebar/StripServices.h"
#include "workspaces/WorkspaceManager.h"

namespace corvane {

WorkspaceChipMenu::WorkspaceChipMenu(const StripServices& services, Workspace workspace, QWidget* parent)
    : QMenu(parent), m_services(services), m_workspace(std::move(workspace)) {
    addAction(QStringLiteral("Restore \u201C") + literalMenuText(m_workspace.name) + QStringLiteral("\u201D"),
              this, [this] { m_services.actions.restoreWorkspace(m_workspace); });
    addAction(QStringLiteral("Update with Current Windows"), this,
              [this] { m_services.actions.updateWorkspace(m_workspace.id); });
    addAction(QStringLiteral("Edit\u2026"), this,
              [this] { m_services.actions.openWorkspaceSettings(m_workspace.id); });
    addSeparator();
    addAction(QStringLiteral("Delete"), this, [this] { m_services.workspaces.remove(m_workspace.id); });
}

} // namespace corvane
