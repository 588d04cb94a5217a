#include "platform/linux/LinuxSleepWake.h"

#include "platform/x11/X11ScreenSaverWatch.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace corvane {

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kActive = QStringLiteral("Active");

} // namespace

LinuxSleepWake::LinuxSleepWake(QDBusConnection bus, std::unique_ptr<X11ScreenSaverWatch> screenSaver)
    : m_bus(std::move(bus)), m_screenSaver(std::move(screenSaver)) {
    if (m_screenSaver)
        connect(m_screenSaver.get(), &X11ScreenSaverWatch::changed, this,
                [this](bool on) { setScreenSaverOn(on); });
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kLogin, kManagerPath, kManager, QStringLiteral("PrepareForSleep"), this,
                  SLOT(prepareForSleep(bool)));
    findSession();
}

LinuxSleepWake::~LinuxSleepWake() = default;

void LinuxSleepWake::prepareForSleep(bool start) {
    setMachineAsleep(start);
}

void LinuxSleepWake::findSession() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLogin, kManagerPath, kManager, QStringLiteral("GetSessionByPID"));
    call << static_cast<uint>(QCoreApplication::applicationPid());
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *done;
        // A process outside any session (a service, a test) has no session to follow.
        if (reply.isError())
            return;
        m_sessionPath = reply.value().path();
        m_bus.connect(kLogin, m_sessionPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                      SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
        readActive();
    });
}

void LinuxSleepWake::readActive() {
    QDBusMessage get =
        QDBusMessage::createMethodCall(kLogin, m_sessionPath, kProperties, QStringLiteral("Get"));
    get << kSession << kActive;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *done;
        if (!reply.isError())
            applyActive(reply.value().variant().toBool());
    });
}

void LinuxSleepWake::sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                              const QStringList& invalidated) {
    if (interface != kSession)
        return;
    if (const auto it = changed.find(kActive); it != changed.end())
        applyActive(it->toBool());
    else if (invalidated.contains(kActive))
        readActive();
}

void LinuxSleepWake::applyActive(bool active) {
    // The first reading only sets the starting point; a session starts out active.
    const std::optional<bool> before = m_sessionActive;
    m_sessionActive = active;
    if (before.value_or(true) == active)
        return;
    if (active)
        Q_EMIT sessionDidBecomeActive();
    else
        Q_EMIT sessionDidResignActive();
}

} // namespace corvane
