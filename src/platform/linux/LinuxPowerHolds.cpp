#include "platform/linux/LinuxPowerHolds.h"

#include "platform/x11/X11ScreenSaverSuspension.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace corvane {

namespace {

constexpr int kCallTimeoutMs = 5000;
const char* const kWho = "Corvane";

} // namespace

LinuxPowerHolds::LinuxPowerHolds(QDBusConnection systemBus, QDBusConnection sessionBus,
                                 const QByteArray& displayName)
    : m_systemBus(std::move(systemBus)), m_sessionBus(std::move(sessionBus)),
      m_screenSaver(std::make_unique<X11ScreenSaverSuspension>(displayName)) {}

LinuxPowerHolds::~LinuxPowerHolds() = default;

std::optional<QDBusUnixFileDescriptor> LinuxPowerHolds::inhibit(const char* what, const char* reason) {
    if (!m_systemBus.isConnected())
        return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QString::fromLatin1(what) << QString::fromLatin1(kWho) << QString::fromUtf8(reason)
         << QStringLiteral("block");
    const QDBusReply<QDBusUnixFileDescriptor> reply = m_systemBus.call(call, QDBus::Block, kCallTimeoutMs);
    if (!reply.isValid() || !reply.value().isValid())
        return std::nullopt;
    return reply.value();
}

std::optional<LinuxPowerHolds::Hold> LinuxPowerHolds::holdScreen(const char* reason) {
    Hold hold;
    // One suspension serves every screen hold; it ends with the last of them.
    hold.screenSaverSuspended = m_screenSaver->isSuspended() || m_screenSaver->suspend();
    if (m_sessionBus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("Inhibit"));
        call << QString::fromLatin1(kWho) << QString::fromUtf8(reason);
        const QDBusReply<uint> reply = m_sessionBus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.isValid())
            hold.screenSaverCookie = reply.value();
    }
    if (!hold.screenSaverSuspended && !hold.screenSaverCookie)
        return std::nullopt;
    return hold;
}

int LinuxPowerHolds::screenSuspensions() const {
    int count = 0;
    for (const auto& [id, hold] : m_holds)
        count += hold.screenSaverSuspended ? 1 : 0;
    return count;
}

std::optional<PowerHolds::HoldID> LinuxPowerHolds::take(Kind kind, const char* reason) {
    std::optional<Hold> hold;
    switch (kind) {
    case Kind::idleSleep:
    case Kind::lidSwitch:
        if (auto lock = inhibit(kind == Kind::idleSleep ? "idle" : "handle-lid-switch", reason))
            hold = Hold{*lock, std::nullopt, false};
        break;
    case Kind::displaySleep:
        hold = holdScreen(reason);
        break;
    }
    if (!hold)
        return std::nullopt;
    m_holds.emplace(++m_lastID, std::move(*hold));
    return m_lastID;
}

bool LinuxPowerHolds::offers(Kind kind) {
    if (kind == Kind::displaySleep)
        return true;
    if (!m_systemBus.isConnected())
        return false;
    QDBusConnectionInterface* names = m_systemBus.interface();
    if (!names)
        return false;
    const QString login = QStringLiteral("org.freedesktop.login1");
    if (names->isServiceRegistered(login).value())
        return true;
    const QDBusReply<QStringList> activatable = names->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(login);
}

void LinuxPowerHolds::release(HoldID id) {
    const auto it = m_holds.find(id);
    if (it == m_holds.end())
        return;
    const Hold hold = std::move(it->second);
    m_holds.erase(it);
    if (hold.screenSaverCookie && m_sessionBus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("UnInhibit"));
        call << *hold.screenSaverCookie;
        m_sessionBus.call(call, QDBus::Block, kCallTimeoutMs);
    }
    if (hold.screenSaverSuspended && screenSuspensions() == 0)
        m_screenSaver->resume();
    // The lock's descriptor closes as the last copy of `hold` goes, here.
}

} // namespace corvane
