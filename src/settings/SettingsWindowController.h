#pragma once

#include "settings/SettingsNavigation.h"

#include <QPointer>
#include <QWidget>

namespace corvane {

class AppState;

// Opens, fronts and remembers the settings window. The window itself is built with its pages;
// until then showing only records the request.
class SettingsWindowController {
public:
    explicit SettingsWindowController(AppState& state) : m_state(state) {}

    // Opens or fronts the window on `tab` (`keep` keeps the current page), with `workspace`
    // selected when one is given, on the screen under the pointer.
    void show(SettingsTab tab, std::optional<QUuid> workspace = std::nullopt);

    SettingsNavigation& nav() { return m_nav; }
    QWidget* window() const { return m_window; }
    int showCount() const { return m_showCount; }

private:
    AppState& m_state;
    SettingsNavigation m_nav;
    QPointer<QWidget> m_window;
    int m_showCount = 0;
};

} // namespace corvane
