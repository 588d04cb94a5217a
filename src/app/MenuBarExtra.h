#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

namespace corvane {

class AppState;
class MenuBarMenu;

// The product's own icon in the panel's tray, with its menu. It shows while the
// `showMenuBarIcon` preference is on and follows every change of it. Where no tray host runs,
// the icon waits and appears once one does.
class MenuBarExtra : public QObject {
    Q_OBJECT
public:
    explicit MenuBarExtra(AppState& state);
    ~MenuBarExtra() override;

    bool isInserted() const;
    MenuBarMenu& menu() { return *m_menu; }

private:
    void sync();

    AppState& m_state;
    std::unique_ptr<MenuBarMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
};

} // namespace corvane
