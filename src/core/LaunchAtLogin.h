#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace corvane {

class UserDefaults;

// Whether the product starts when the user logs in.
class LaunchAtLogin : public QObject {
    Q_OBJECT
public:
    explicit LaunchAtLogin(UserDefaults& defaults) : m_defaults(defaults) {}

    void refresh() {}
    void setEnabled(bool enabled) { Q_UNUSED(enabled); }
    // Turns launch at login on once, at the very first run.
    void configureDefaultIfNeeded() { ++m_configureCount; }

    bool isEnabled() const { return m_isEnabled; }
    bool needsApproval() const { return m_needsApproval; }
    const std::optional<QString>& lastError() const { return m_lastError; }
    int configureCount() const { return m_configureCount; }

private:
    [[maybe_unused]] UserDefaults& m_defaults;
    bool m_isEnabled = false;
    bool m_needsApproval = false;
    std::optional<QString> m_lastError;
    int m_configureCount = 0;
};

} // namespace corvane
