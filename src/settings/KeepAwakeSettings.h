#pragma once

#include "settings/SettingsPage.h"

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace corvane {

class AwakeController;
class BoundToggle;
class FormSection;
class Settings;

// The Keep Awake page: the status item, the mode, the lid-closed row, whether
// the computer is kept awake now, and the length of keeping awake. Every control shows the stored
// value and the controller's state as they are now, whoever changed them.
class KeepAwakeSettings : public SettingsPage {
    Q_OBJECT
public:
    KeepAwakeSettings(Settings& settings, AwakeController& awake, QWidget* parent = nullptr);

    BoundToggle& showIconToggle() const { return *m_showIcon; }
    QComboBox& modePicker() const { return *m_mode; }
    QLabel& modeDescription() const { return *m_modeDescription; }
    QLabel& statusLabel() const { return *m_status; }
    QLabel& failureLabel() const { return *m_failure; }
    QPushButton& toggleButton() const { return *m_toggle; }
    // The duration rows in table order, and whether each carries the check mark.
    QPushButton& durationRow(size_t index) const { return *m_durations[index].button; }
    bool isDurationChecked(size_t index) const;

private:
    struct DurationRow {
        QPushButton* button;
        QLabel* check;
    };
    void addStatusRow(FormSection& section);
    void addDurationRows(FormSection& section);
    void refresh();

    Settings& m_settings;
    AwakeController& m_awake;
    BoundToggle* m_showIcon = nullptr;
    QComboBox* m_mode = nullptr;
    QLabel* m_modeDescription = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_failure = nullptr;
    QPushButton* m_toggle = nullptr;
    std::vector<DurationRow> m_durations;
};

} // namespace corvane
