#pragma once

#include "ShortcutKit/Name.h"
#include "platform/HotKeys.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsServices.h"

#include <QString>

#include <utility>
#include <vector>

class QLabel;
class QPushButton;

namespace corvane {

namespace ShortcutKit {
class Recorder;
}

// The Hotkeys page: one recorder for each of the application's 21 global shortcuts, in three
// sections (the sidebar's, snapping, the nine workspace slots), and a button that puts every one
// of them back to its default. The recorders read and write the shortcut store themselves, so
// the page keeps nothing of its own; its rows never change, whatever workspaces exist.
class HotkeySettings : public SettingsPage {
    Q_OBJECT
public:
    explicit HotkeySettings(const SettingsServices& services, QWidget* parent = nullptr);

    // In page order.
    const std::vector<ShortcutKit::Recorder*>& recorders() const { return m_recorders; }
    // The recorder of the shortcut named `rawName`, if the page has one.
    ShortcutKit::Recorder* recorder(const QString& rawName) const;
    QPushButton& resetButton() const { return *m_reset; }
    // The note under a row's title that says why the desktop refused its shortcut; hidden while
    // the shortcut works.
    QLabel* refusalNote(const QString& rawName) const;

private:
    void resetAllToDefaults();
    void showRefusals();
    static QString refusalText(HotKeys::Refusal refusal);

    SettingsServices m_services;
    std::vector<ShortcutKit::Recorder*> m_recorders;
    std::vector<std::pair<ShortcutKit::Name, QLabel*>> m_refusalNotes;
    QPushButton* m_reset = nullptr;
};

} // namespace corvane
