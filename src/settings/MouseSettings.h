#pragma once

#include "settings/SettingsPage.h"

class QComboBox;
class QLabel;

namespace corvane {

class BoundToggle;
class MouseController;
class Settings;

// The Mouse page: the wheel's own direction and whether sideways scrolling follows it. The page
// edits the two settings; the mouse controller applies them. Where no mouse can change its
// direction, the page says so under the controls.
class MouseSettings : public SettingsPage {
    Q_OBJECT
public:
    MouseSettings(Settings& settings, MouseController& mouse, QWidget* parent = nullptr);

    QComboBox& directionPicker() const { return *m_direction; }
    QLabel& hint() const { return *m_hint; }
    BoundToggle& sidewaysToggle() const { return *m_sideways; }
    QWidget& unavailableRow() const { return *m_unavailable; }

private:
    void refreshHint();

    MouseController& m_mouse;
    QComboBox* m_direction = nullptr;
    QLabel* m_hint = nullptr;
    BoundToggle* m_sideways = nullptr;
    QWidget* m_unavailable = nullptr;
};

} // namespace corvane
