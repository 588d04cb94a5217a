#pragma once

#include "platform/SleepWake.h"

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace corvane {

// Sleep and wake from logind's PrepareForSleep on the system bus, and this session losing and
// regaining the screen from its Active property. Without logind, without a session of this
// process, or without a system bus, nothing is ever reported.
class LinuxSleepWake final : public SleepWake {
    Q_OBJECT
public:
    explicit LinuxSleepWake(QDBusConnection bus = QDBusConnection::systemBus());
    ~LinuxSleepWake() override;

private Q_SLOTS:
    void prepareForSleep(bool start);
    void sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                  const QStringList& invalidated);

private:
    void findSession();
    void readActive();
    void applyActive(bool active);

    QDBusConnection m_bus;
    QString m_sessionPath;
    std::optional<bool> m_sessionActive;
};

} // namespace corvane
