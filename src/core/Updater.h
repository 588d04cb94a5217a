#pragma once

#include <QDateTime>
#include <QObject>

#include <optional>

namespace corvane {

class ToastController;
class UserDefaults;

// Updates come from the system's package manager here, so the updater has nothing to fetch. It
// keeps its two switches in the defaults store, so the settings window can show and change them,
// and a check says plainly where updates come from instead of doing nothing visible.
class Updater : public QObject {
    Q_OBJECT
public:
    Updater(UserDefaults& defaults, ToastController& toast);

    // Both off unless the user switched them on.
    bool automaticallyChecksForUpdates() const;
    void setAutomaticallyChecksForUpdates(bool value);
    bool automaticallyDownloadsUpdates() const;
    void setAutomaticallyDownloadsUpdates(bool value);
    // Never set: no check ever runs here.
    std::optional<QDateTime> lastUpdateCheckDate() const { return std::nullopt; }

    // The user asked for a check: tells them that the package manager brings updates.
    void checkForUpdates();
    static QString packageManagerMessage();

Q_SIGNALS:
    // Emitted on every write of a switch, also when its value stays the same.
    void changed();

private:
    UserDefaults& m_defaults;
    ToastController& m_toast;
};

} // namespace corvane
