#include "core/Updater.h"

#include "core/ToastController.h"
#include "platform/UserDefaults.h"

namespace corvane {
namespace {
const std::string checksKey = "automaticallyChecksForUpdates";
const std::string downloadsKey = "automaticallyDownloadsUpdates";
} // namespace

Updater::Updater(UserDefaults& defaults, ToastController& toast) : m_defaults(defaults), m_toast(toast) {}

bool Updater::automaticallyChecksForUpdates() const {
    return m_defaults.boolValue(checksKey).value_or(false);
}

void Updater::setAutomaticallyChecksForUpdates(bool value) {
    m_defaults.set(checksKey, value);
    Q_EMIT changed();
}

bool Updater::automaticallyDownloadsUpdates() const {
    return m_defaults.boolValue(downloadsKey).value_or(false);
}

void Updater::setAutomaticallyDownloadsUpdates(bool value) {
    m_defaults.set(downloadsKey, value);
    Q_EMIT changed();
}

QString Updater::packageManagerMessage() {
    return QStringLiteral("Updates come with your system's package manager");
}

void Updater::checkForUpdates() {
    m_toast.show(packageManagerMessage(), QStringLiteral("arrow.triangle.2.circlepath"));
}

} // namespace corvane
