#pragma once

#include "settings/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace corvane {

class FormSection;
class MouseController;
class Settings;

// The Mouse page: the wheel's own direction and whether sideways scrolling follows it. The page
// edits the two settings; the mouse controller applies them.
class MouseSettings : public SettingsPage {
    Q_OBJECT
public:
    MouseSettings(Settings& settings, MouseController& mouse, QWidget* parent = nullptr);

    QComboBox& directionPicker() const { return *m_direction; }
    QLabel& hint() const { return *m_hint; }
    QCheckBox& sidewaysToggle() const { return *m_sideways; }
    QLabel& unavailableLabel() const { return *m_unavailable; }

private:
    void refresh();

    Settings& m_settings;
    MouseController& m_mouse;
    QComboBox* m_direction = nullptr;
    QLabel* m_hint = nullptr;
    QCheckBox* m_sideways = nullptr;
    QLabel* m_unavailable = nullptr;
    FormSection* m_unavailableSection = nullptr;
};

} // namespace corvane
