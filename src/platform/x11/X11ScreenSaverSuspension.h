#pragma once

#include <QByteArray>

#include <xcb/xcb.h>

namespace corvane {

// Keeps the X server from starting its screen saver and from blanking or powering down the
// screen, through the MIT-SCREEN-SAVER extension's suspension. The server ties the suspension to
// this client, so it ends with the connection, however the process ends.
class X11ScreenSaverSuspension {
public:
    explicit X11ScreenSaverSuspension(const QByteArray& displayName = {});
    ~X11ScreenSaverSuspension();
    X11ScreenSaverSuspension(const X11ScreenSaverSuspension&) = delete;
    X11ScreenSaverSuspension& operator=(const X11ScreenSaverSuspension&) = delete;

    // False when there is no X server or it lacks the extension.
    bool suspend();
    void resume();
    bool isSuspended() const { return m_suspended; }

private:
    bool send(bool suspend);

    xcb_connection_t* m_connection = nullptr;
    bool m_available = false;
    bool m_suspended = false;
};

} // namespace corvane
