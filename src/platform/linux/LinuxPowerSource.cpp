#include "platform/linux/LinuxPowerSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QPointer>

namespace corvane {

namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// Each service names its interface after itself.
enum SourceIndex { onBattery, upowerProfiles, hadessProfiles };

} // namespace

LinuxPowerSource::LinuxPowerSource(QDBusConnection bus)
    : m_bus(std::move(bus)), m_sources{{{"org.freedesktop.UPower", "/org/freedesktop/UPower", "OnBattery"},
                                        {"org.freedesktop.UPower.PowerProfiles",
                                         "/org/freedesktop/UPower/PowerProfiles", "ActiveProfile"},
                                        {"net.hadess.PowerProfiles", "/net/hadess/PowerProfiles",
                                         "ActiveProfile"}}} {
    if (!m_bus.isConnected())
        return;
    m_watcher = new QDBusServiceWatcher(this);
    m_watcher->setConnection(m_bus);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    for (Source& source : m_sources) {
        const QString service = QString::fromLatin1(source.service);
        m_watcher->addWatchedService(service);
        m_bus.connect(service, QString::fromLatin1(source.path), kPropertiesInterface,
                      QStringLiteral("PropertiesChanged"), this,
                      SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        read(source);
    }
    // A service that starts later is read then; one that leaves takes its answer with it.
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString& service, const QString&, const QString& newOwner) {
                for (Source& source : m_sources) {
                    if (service != QLatin1String(source.service))
                        continue;
                    source.on = false;
                    if (!newOwner.isEmpty())
                        read(source);
                }
            });
}

LinuxPowerSource::~LinuxPowerSource() = default;

bool LinuxPowerSource::isOnBattery() const {
    return m_sources[onBattery].on;
}

bool LinuxPowerSource::isPowerSaverOn() const {
    return m_sources[upowerProfiles].on || m_sources[hadessProfiles].on;
}

void LinuxPowerSource::read(Source& source) {
    QDBusMessage get =
        QDBusMessage::createMethodCall(QString::fromLatin1(source.service), QString::fromLatin1(source.path),
                                       kPropertiesInterface, QStringLiteral("Get"));
    get << QString::fromLatin1(source.service) << QString::fromLatin1(source.property);
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    Source* target = &source;
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, target](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *done;
        // An absent service answers with an error, which reads as "off".
        if (!reply.isError())
            apply(*target, reply.value().variant());
    });
}

void LinuxPowerSource::apply(Source& source, const QVariant& value) {
    if (&source == &m_sources[onBattery])
        source.on = value.toBool();
    else
        source.on = value.toString() == QLatin1String("power-saver");
}

void LinuxPowerSource::propertiesChanged(const QString& interface, const QVariantMap& changed,
                                         const QStringList& invalidated) {
    for (Source& source : m_sources) {
        if (interface != QLatin1String(source.service))
            continue;
        const QString property = QString::fromLatin1(source.property);
        if (const auto it = changed.find(property); it != changed.end())
            apply(source, *it);
        else if (invalidated.contains(property))
            read(source);
    }
}

} // namespace corvane
