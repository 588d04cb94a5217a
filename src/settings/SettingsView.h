#pragma once

#include "settings/SettingsServices.h"
#include "settings/SettingsTab.h"

#include <QWidget>

#include <map>

class QStackedWidget;

namespace corvane {

class SettingsNavigation;
class SettingsPage;
class SettingsSidebar;

// The content of the settings window: the list of pages on the left, the selected page on the
// right. Each page is built the first time it is selected and kept while the window lives.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    SettingsView(const SettingsServices& services, SettingsNavigation& nav, QWidget* parent = nullptr);

    SettingsSidebar& sidebar() const { return *m_sidebar; }
    SettingsPage* currentPage() const;
    // The page of `tab` if it has been built.
    SettingsPage* builtPage(SettingsTab tab) const;

private:
    void showTab(SettingsTab tab);

    SettingsServices m_services;
    SettingsNavigation& m_nav;
    SettingsSidebar* m_sidebar = nullptr;
    QStackedWidget* m_pages = nullptr;
    std::map<SettingsTab, SettingsPage*> m_built;
};

} // namespace corvane
