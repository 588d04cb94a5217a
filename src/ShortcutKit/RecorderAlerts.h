#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace corvane::ShortcutKit {

// The warnings a recorder shows when it refuses a combination or asks before taking it. The
// alert is modal for the recorder's window and answers which button the user chose.
class RecorderAlerts {
public:
    static constexpr int firstButton = 1000;
    static constexpr int secondButton = 1001;

    virtual ~RecorderAlerts() = default;

    // Shows a warning with the message, the informative text when given and one button per title
    // in order (with no titles, a single OK button), modal for `window` (or the application
    // without one), and answers firstButton, secondButton, ... for the button chosen.
    virtual int showAlert(QWidget* window, const QString& message,
                          const std::optional<QString>& informativeText, const QStringList& buttons) = 0;

    // Message boxes; stateless, shared by every recorder.
    static RecorderAlerts& standard();
};

} // namespace corvane::ShortcutKit
