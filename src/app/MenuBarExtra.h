#pragma once

#include <QObject>

#include <memory>

namespace corvane {

class AppState;
class MenuBarMenu;
class TrayIcon;

// The product's own icon in the panel's tray, with its menu, which a click of either button
// opens. It shows while the `showMenuBarIcon` preference is on and follows every change of it;
// a user who takes the icon away (where the desktop allows it) switches the preference off.
// Where no tray host runs, the icon waits and appears once one does.
class MenuBarExtra : public QObject {
    Q_OBJECT
public:
    explicit MenuBarExtra(AppState& state);
    ~MenuBarExtra() override;

    bool isInserted() const { return m_icon != nullptr; }
    MenuBarMenu& menu() { return *m_menu; }

private:
    void sync();

    AppState& m_state;
    std::unique_ptr<MenuBarMenu> m_menu;
    std::unique_ptr<TrayIcon> m_icon;
};

} // namespace corvane
