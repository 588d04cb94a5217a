#pragma once

#include "settings/SettingsNavigation.h"
#include "settings/SettingsServices.h"
#include "settings/SettingsWindow.h"

#include <QPointer>

#include <optional>
#include <vector>

namespace corvane {

// Opens, fronts and remembers the one settings window. The window is built on demand and let go
// when it closes; the selection lives here, so the next window opens on the page last shown.
class SettingsWindowController {
public:
    explicit SettingsWindowController(const SettingsServices& services);
    ~SettingsWindowController();
    SettingsWindowController(const SettingsWindowController&) = delete;
    SettingsWindowController& operator=(const SettingsWindowController&) = delete;

    // Opens or fronts the window on `tab` (`keep` keeps the current page), with `workspace`
    // selected when one is given (none keeps the selected one). A new window is centred on the
    // screen under the pointer; an open one moves there unless it is showing on that screen.
    void show(SettingsTab tab, std::optional<QUuid> workspace = std::nullopt);
    // The window is closing, however it was closed: forget it.
    void windowWillClose();

    SettingsNavigation& nav() { return m_nav; }
    SettingsWindow* window() const { return m_window; }
    int showCount() const { return m_showCount; }

private:
    void buildWindow();
    // Whether the open window should stay where it is rather than move to the pointer's screen.
    bool staysOnItsScreen() const;

    SettingsServices m_services;
    SettingsNavigation m_nav;
    QPointer<SettingsWindow> m_window;
    // Closed windows waiting for their deferred deletion; any still here go with the controller,
    // before the services their pages use.
    std::vector<QPointer<SettingsWindow>> m_closing;
    int m_showCount = 0;
};

} // namespace corvane
