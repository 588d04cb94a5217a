#pragma once

#include "platform/PowerHolds.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>

#include <map>
#include <memory>

namespace corvane {

class X11ScreenSaverSuspension;

// Power holds from the services a Linux desktop offers:
// - idle sleep and the lid switch: logind inhibitor locks ("idle", "handle-lid-switch", mode
//   "block") on the system bus. A lock is a file descriptor; logind drops it when the last copy
//   closes, which the kernel does for us when the process ends.
// - the screen: the X screen saver suspended for this client, and the session's
//   org.freedesktop.ScreenSaver inhibited where the desktop runs one (it ends when we leave the
//   bus). Either of the two counts as holding the screen.
// Calls are synchronous and bounded, like every other change of the machine's power state.
class LinuxPowerHolds final : public PowerHolds {
public:
    LinuxPowerHolds(QDBusConnection systemBus = QDBusConnection::systemBus(),
                    QDBusConnection sessionBus = QDBusConnection::sessionBus(),
                    const QByteArray& displayName = {});
    ~LinuxPowerHolds() override;

    std::optional<HoldID> take(Kind kind, const char* reason) override;
    void release(HoldID id) override;
    // The login service answers on the system bus (idle and lid holds); the screen is always
    // tried.
    bool offers(Kind kind) override;

private:
    struct Hold {
        QDBusUnixFileDescriptor lock;
        std::optional<uint> screenSaverCookie;
        bool screenSaverSuspended = false;
    };
    std::optional<QDBusUnixFileDescriptor> inhibit(const char* what, const char* reason);
    std::optional<Hold> holdScreen(const char* reason);
    int screenSuspensions() const;

    QDBusConnection m_systemBus;
    QDBusConnection m_sessionBus;
    std::unique_ptr<X11ScreenSaverSuspension> m_screenSaver;
    std::map<HoldID, Hold> m_holds;
    HoldID m_lastID = 0;
};

} // namespace corvane
