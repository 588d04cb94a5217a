#pragma once

#include "settings/SettingsTab.h"

#include <QObject>
#include <QUuid>

#include <optional>

namespace corvane {

// Which page of the settings window shows, and which workspace its editor has selected. It
// belongs to the window's controller, so the selection outlives the window: closing and reopening
// comes back to the same page. Observers hear only of real changes.
class SettingsNavigation : public QObject {
    Q_OBJECT
public:
    SettingsTab tab() const { return m_tab; }
    // `keep` and the page already shown change nothing.
    void setTab(SettingsTab tab);

    std::optional<QUuid> selectedWorkspace() const { return m_selectedWorkspace; }
    void setSelectedWorkspace(std::optional<QUuid> id);

Q_SIGNALS:
    void tabChanged(SettingsTab tab);
    void selectedWorkspaceChanged(std::optional<QUuid> id);
    // After either of the above.
    void changed();

private:
    SettingsTab m_tab = SettingsTab::general;
    std::optional<QUuid> m_selectedWorkspace;
};

} // namespace corvane
