#pragma once

#include "runtime/NotificationCenter.h"
#include "settings/SettingsPage.h"

#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace corvane {

class ClipboardHistory;
class Settings;
namespace ShortcutKit {
struct RecorderServices;
}

// The Clipboard page: history on or off and, while on, the tray icon, the strip's shortcut,
// pasting at once, how long and how much is kept, and the history's size with Open and Clear.
class ClipboardSettings : public SettingsPage {
    Q_OBJECT
public:
    // `shortcutText` reads the display text of the strip's shortcut (its default when none is stored);
    // the description follows every change of that shortcut.
    ClipboardSettings(Settings& settings, ClipboardHistory& history,
                      const ShortcutKit::RecorderServices& recorders,
                      std::function<std::optional<QString>()> shortcutText, std::function<void()> openStrip,
                      QWidget* parent = nullptr);

    QLabel& countLabel() const { return *m_count; }
    QPushButton& clearButton() const { return *m_clear; }

private:
    void showCount();
    QString description() const;

    ClipboardHistory& m_history;
    std::function<std::optional<QString>()> m_shortcutText;
    ObserverToken m_shortcutObserver;
    QLabel* m_count = nullptr;
    QPushButton* m_clear = nullptr;
};

// The folder the history is kept in, as the user reads it ("~/.local/share/Corvane/Clipboard").
QString clipboardFolderForDisplay();

} // namespace corvane
