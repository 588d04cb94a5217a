#pragma once

#include "core/LayoutPreset.h"
#include "settings/SettingsPage.h"

#include <vector>

class QAbstractButton;
class QLabel;

namespace corvane {

class Settings;
class SettingsActions;

// The "Layouts" page: the gap between placed windows, cycling of snap sizes, keeping clear of the
// strip, the preset the tiling shortcut uses, and a card per preset that tiles the windows of the
// screen under the pointer at once.
class LayoutSettings : public SettingsPage {
    Q_OBJECT
public:
    LayoutSettings(Settings& settings, SettingsActions& actions, QWidget* parent = nullptr);

    QLabel& gapCaption() const { return *m_gapCaption; }
    // One per preset, in case order.
    const std::vector<QAbstractButton*>& presetCards() const { return m_cards; }

private:
    QWidget* makeCards();

    Settings& m_settings;
    SettingsActions& m_actions;
    QLabel* m_gapCaption = nullptr;
    std::vector<QAbstractButton*> m_cards;
};

} // namespace corvane
