#include "platform/x11/X11ScreenSaverSuspension.h"

#include "platform/x11/X11Connection.h"

#include <xcb/screensaver.h>

namespace corvane {

X11ScreenSaverSuspension::X11ScreenSaverSuspension(const QByteArray& displayName) {
    const X11Display display = openDisplay(displayName);
    m_connection = display.connection;
    if (xcb_connection_has_error(m_connection))
        return;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_connection, &xcb_screensaver_id);
    if (!extension || !extension->present)
        return;
    // Suspension arrived with version 1.1 of the extension.
    X11Reply<xcb_screensaver_query_version_reply_t> version(xcb_screensaver_query_version_reply(
        m_connection, xcb_screensaver_query_version(m_connection, 1, 1), nullptr));
    m_available = version && (version->server_major_version > 1 ||
                              (version->server_major_version == 1 && version->server_minor_version >= 1));
}

X11ScreenSaverSuspension::~X11ScreenSaverSuspension() {
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11ScreenSaverSuspension::send(bool suspend) {
    X11Reply<xcb_generic_error_t> error(
        xcb_request_check(m_connection, xcb_screensaver_suspend_checked(m_connection, suspend ? 1 : 0)));
    return !error;
}

bool X11ScreenSaverSuspension::suspend() {
    if (m_suspended)
        return true;
    m_suspended = m_available && send(true);
    return m_suspended;
}

void X11ScreenSaverSuspension::resume() {
    if (!m_suspended)
        return;
    send(false);
    m_suspended = false;
}

} // namespace corvane
