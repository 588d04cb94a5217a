#include "core/LaunchAtLogin.h"

#include "platform/UserDefaults.h"
#include "runtime/Log.h"

namespace corvane {

namespace {
const std::string configuredKey = "didConfigureLaunchAtLogin";
}

LaunchAtLogin::LaunchAtLogin(UserDefaults& defaults, LoginItem& item) : m_defaults(defaults), m_item(item) {
    refresh();
}

void LaunchAtLogin::refresh() {
    const LoginItem::Status status = m_item.status();
    const bool enabled = status == LoginItem::Status::enabled;
    const bool approval = status == LoginItem::Status::requiresApproval;
    if (enabled == m_isEnabled && approval == m_needsApproval)
        return;
    m_isEnabled = enabled;
    m_needsApproval = approval;
    Q_EMIT changed();
}

void LaunchAtLogin::setEnabled(bool enabled) {
    const std::optional<QString> error = enabled ? m_item.registerItem() : m_item.unregisterItem();
    if (error)
        qCCritical(lcApp, "Launch at login change failed: %s", qUtf8Printable(*error));
    if (error != m_lastError) {
        m_lastError = error;
        Q_EMIT changed();
    }
    refresh();
}

void LaunchAtLogin::configureDefaultIfNeeded() {
    if (m_defaults.boolValue(configuredKey).value_or(false))
        return;
    m_defaults.set(configuredKey, true);
    if (!m_isEnabled)
        setEnabled(true);
}

} // namespace corvane
