#pragma once

#include "settings/SettingsTab.h"

#include <QListWidget>

namespace corvane {

class SettingsNavigation;

// The list of the thirteen pages on the left of the settings window, bound both ways to the
// navigation's page. A page is always selected: a click into empty space, or anything else that
// would leave the list without a selection, puts the current page back.
class SettingsSidebar : public QListWidget {
    Q_OBJECT
public:
    explicit SettingsSidebar(SettingsNavigation& nav, QWidget* parent = nullptr);

    // The row of a page, for tests and views that point at one.
    QRect rowRect(SettingsTab tab) const;

    static constexpr int minimumWidth = 190;
    static constexpr int idealWidth = 200;
    static constexpr int maximumWidth = 240;

private:
    void selectCurrentTab();
    void selectionWasChanged();

    SettingsNavigation& m_nav;
};

} // namespace corvane
