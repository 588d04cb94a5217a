#pragma once

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
    // `shortcutText` is the display text of the strip's shortcut, none when the user has none.
    ClipboardSettings(Settings& settings, ClipboardHistory& history,
                      const ShortcutKit::RecorderServices& recorders, std::optional<QString> shortcutText,
                      std::function<void()> openStrip, QWidget* parent = nullptr);

    QLabel& countLabel() const { return *m_count; }
    QPushButton& clearButton() const { return *m_clear; }

private:
    void showCount();

    ClipboardHistory& m_history;
    QLabel* m_count = nullptr;
    QPushButton* m_clear = nullptr;
};

// The folder the history is kept in, as the user reads it ("~/.local/share/Corvane/Clipboard").
QString clipboardFolderForDisplay();

} // namespace corvane
