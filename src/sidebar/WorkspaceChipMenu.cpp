#include "sidebar/WorkspaceChipMenu.h"

#include "core/MenuText.h"

#include "app/AppState.h"
#include "settings/SettingsWindowController.h"
#include "workspaces/WorkspaceManager.h"

namespace corvane {

WorkspaceChipMenu::WorkspaceChipMenu(AppState& state, Workspace workspace, QWidget* parent)
    : QMenu(parent), m_state(state), m_workspace(std::move(workspace)) {
    addAction(QStringLiteral("Restore \u201C") + literalMenuText(m_workspace.name) + QStringLiteral("\u201D"),
              this, [this] { m_state.restoreWorkspace(m_workspace); });
    addAction(QStringLiteral("Update with Current Windows"), this,
              [this] { m_state.updateWorkspace(m_workspace.id); });
    addAction(QStringLiteral("Edit\u2026"), this,
              [this] { m_state.settingsWindow().show(SettingsTab::workspaces, m_workspace.id); });
    addSeparator();
    addAction(QStringLiteral("Delete"), this, [this] { m_state.workspaces().remove(m_workspace.id); });
}

} // namespace corvane
