#pragma once

#include "settings/SettingsTab.h"

#include <QObject>
#include <QUuid>

#include <optional>

namespace corvane {

// Which page of the settings window shows, and which workspace its editor has selected. Kept
// across closing and reopening the window.
class SettingsNavigation : public QObject {
    Q_OBJECT
public:
    SettingsTab tab() const { return m_tab; }
    void setTab(SettingsTab tab) {
        if (tab == SettingsTab::keep || tab == m_tab) return;
        m_tab = tab;
        Q_EMIT changed();
    }
    std::optional<QUuid> selectedWorkspace() const { return m_selectedWorkspace; }
    void setSelectedWorkspace(std::optional<QUuid> id) {
        if (id == m_selectedWorkspace) return;
        m_selectedWorkspace = id;
        Q_EMIT changed();
    }

Q_SIGNALS:
    void changed();

private:
    SettingsTab m_tab = SettingsTab::general;
    std::optional<QUuid> m_selectedWorkspace;
};

} // namespace corvane
