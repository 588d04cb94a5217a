#pragma once

#include "platform/LoginItem.h"

#include <QObject>
#include <QString>

#include <optional>

namespace corvane {

class UserDefaults;

// Whether the product starts when the user logs in: mirrors the desktop's login item, switches
// it, keeps the last failure for the settings window, and turns it on once, at the very first run.
class LaunchAtLogin : public QObject {
    Q_OBJECT
public:
    // Reads the login item's state at once.
    LaunchAtLogin(UserDefaults& defaults, LoginItem& item);

    void refresh();
    // Registers or unregisters, then reads the state back, so `isEnabled` shows what the desktop
    // reports rather than what was asked. A failure is kept in `lastError` and logged; it is
    // never retried.
    void setEnabled(bool enabled);
    // At the first run ever ("didConfigureLaunchAtLogin" missing), turns launch at login on. The
    // key is written first, so a failed attempt is not repeated and a later explicit off stays.
    void configureDefaultIfNeeded();

    bool isEnabled() const { return m_isEnabled; }
    // Never true on Linux: the desktop does not ask the user to approve login items.
    bool needsApproval() const { return m_needsApproval; }
    const std::optional<QString>& lastError() const { return m_lastError; }

Q_SIGNALS:
    // One of the three values above changed.
    void changed();

private:
    UserDefaults& m_defaults;
    LoginItem& m_item;
    bool m_isEnabled = false;
    bool m_needsApproval = false;
    std::optional<QString> m_lastError;
};

} // namespace corvane
