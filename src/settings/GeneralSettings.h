#pragma once

#include "settings/SettingsPage.h"

class QLabel;

namespace corvane {

class ApplicationHost;
class LaunchAtLogin;
class Screens;
class Settings;
class StatusItems;
class Updater;
class ValueToggle;

// The "General" page: how the product starts, where the strip lives, where updates come from,
// which tray icons show, the volume and brightness display and one workspace option. Every
// control writes at once and follows changes made elsewhere.
class GeneralSettings : public SettingsPage {
    Q_OBJECT
public:
    struct Services {
        LaunchAtLogin& launchAtLogin;
        Updater& updater;
        StatusItems& statusItems;
        Screens& screens;
        ApplicationHost& host;
    };

    GeneralSettings(Settings& settings, Services services, QWidget* parent = nullptr);

    ValueToggle& launchAtLoginToggle() const { return *m_launchAtLogin; }
    QLabel& launchAtLoginError() const { return *m_launchError; }
    ValueToggle& clipboardIconToggle() const { return *m_clipboardIcon; }
    QWidget& hiddenIconsWarning() const { return *m_hiddenWarning; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void addStartup();
    void addSidebar();
    void addUpdates();
    void addTrayIcons();
    void addVolumeAndBrightness();
    void showLaunchAtLogin();

    Settings& m_settings;
    Services m_services;
    ValueToggle* m_launchAtLogin = nullptr;
    QLabel* m_launchError = nullptr;
    QWidget* m_launchErrorRow = nullptr;
    ValueToggle* m_clipboardIcon = nullptr;
    QWidget* m_hiddenWarning = nullptr;
};

} // namespace corvane
