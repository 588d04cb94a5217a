#pragma once

#include "platform/PowerSource.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <array>

class QDBusServiceWatcher;

namespace corvane {

// The power state from the system bus: UPower's OnBattery, and the power-profiles service's
// ActiveProfile ("power-saver"), under either of the names that service has gone by. Read when
// built and kept current from the services' change signals; a service that is absent or leaves
// the bus reads as mains power without power saving, and so does an unreachable system bus.
class LinuxPowerSource final : public QObject, public PowerSource {
    Q_OBJECT
public:
    explicit LinuxPowerSource(QDBusConnection bus = QDBusConnection::systemBus());
    ~LinuxPowerSource() override;

    bool isOnBattery() const override;
    bool isPowerSaverOn() const override;

private Q_SLOTS:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated);

private:
    // One property of one service, and what it last said.
    struct Source {
        const char* service;
        const char* path;
        const char* property;
        bool on = false;
    };
    void read(Source& source);
    void apply(Source& source, const QVariant& value);

    QDBusConnection m_bus;
    std::array<Source, 3> m_sources;
    QDBusServiceWatcher* m_watcher = nullptr;
};

} // namespace corvane
