#include "support/CorvaneProcess.h"

#include "support/IntegrationMain.h"
#include "support/VirtualDesktop.h"

namespace corvane::testing {

QProcessEnvironment corvaneEnvironment(const QString& home) {
    return corvaneEnvironment(home, desktop().displayName());
}

QProcessEnvironment corvaneEnvironment(const QString& home, const QString& display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    return env;
}

} // namespace corvane::testing
