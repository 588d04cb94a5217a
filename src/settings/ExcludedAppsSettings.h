#pragma once

#include "settings/SettingsPage.h"

#include <cstdint>

class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;

namespace corvane {

class AppIcons;
class ApplicationCatalog;
class RunningApplications;
class Settings;

// The "Excluded Apps" page: the programs whose windows never appear in the strip, each with its
// icon, name and id and a button that removes it; a menu that adds a running program; and a button
// that puts the default list back.
class ExcludedAppsSettings : public SettingsPage {
    Q_OBJECT
public:
    ExcludedAppsSettings(Settings& settings, AppIcons& icons, ApplicationCatalog& catalog,
                         RunningApplications& running, int32_t ownPID, QWidget* parent = nullptr);

    QListWidget& list() const { return *m_list; }
    // The remove button of the row at `row`.
    QToolButton* removeButton(int row) const;
    // Fills the "Add Running App" menu as opening it does.
    QMenu& addMenu();
    QPushButton& restoreButton() const { return *m_restore; }

private:
    void rebuild();
    void fillAddMenu();

    Settings& m_settings;
    AppIcons& m_icons;
    ApplicationCatalog& m_catalog;
    RunningApplications& m_running;
    int32_t m_ownPID;
    QListWidget* m_list = nullptr;
    QMenu* m_addMenu = nullptr;
    QPushButton* m_restore = nullptr;
};

} // namespace corvane
