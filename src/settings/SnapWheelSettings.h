#pragma once

#include "settings/SettingsPage.h"
#include "settings/SnapWheelDemo.h"

class QLabel;

namespace corvane {

class PermissionManager;
class Settings;

// The "Snap Wheel" page: the wheel's switch, trigger, timing, centre action, target, preview,
// haptics and colour, under a live demonstration of the ring that sweeps through its directions
// while the page is on screen, beside an explanation naming the current trigger and centre action.
class SnapWheelSettings : public SettingsPage {
    Q_OBJECT
public:
    SnapWheelSettings(Settings& settings, Scheduler& scheduler, PermissionManager& permissions,
                      QWidget* parent = nullptr);

    SnapWheelDemo& demo() { return m_demo; }
    QLabel& headline() const { return *m_headline; }
    QLabel& explanation() const { return *m_explanation; }
    QWidget& permissionWarning() const { return *m_permissionWarning; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* makeDemonstration();
    void explain();

    Settings& m_settings;
    SnapWheelDemo m_demo;
    QLabel* m_headline = nullptr;
    QLabel* m_explanation = nullptr;
    QWidget* m_permissionWarning = nullptr;
};

} // namespace corvane
