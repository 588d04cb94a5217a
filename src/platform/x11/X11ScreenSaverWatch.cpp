#include "platform/x11/X11ScreenSaverWatch.h"

#include <QSocketNotifier>

#include <xcb/screensaver.h>

#include <cstdlib>

namespace corvane {

X11ScreenSaverWatch::X11ScreenSaverWatch(const QByteArray& displayName) : m_x(displayName, X11Atoms::none) {
    xcb_connection_t* x = m_x.raw();
    if (!m_x.isValid() || m_x.root() == XCB_WINDOW_NONE)
        return;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(x, &xcb_screensaver_id);
    if (!extension || !extension->present)
        return;
    // Checked once, so the notices are selected by the time this returns.
    X11Reply<xcb_generic_error_t> error(xcb_request_check(
        x, xcb_screensaver_select_input_checked(x, m_x.root(), XCB_SCREENSAVER_EVENT_NOTIFY_MASK)));
    if (error)
        return;
    m_notifyEvent = static_cast<uint8_t>(extension->first_event + XCB_SCREENSAVER_NOTIFY);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(x), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11ScreenSaverWatch::readEvents);
}

X11ScreenSaverWatch::~X11ScreenSaverWatch() {
    delete m_notifier;
}

void X11ScreenSaverWatch::readEvents() {
    xcb_connection_t* x = m_x.raw();
    const bool was = m_on;
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
        if (x11EventType(*event) == m_notifyEvent) {
            const auto* notice = reinterpret_cast<const xcb_screensaver_notify_event_t*>(event);
            // A cycling saver is still on; one switched off by a setting is off.
            if (notice->state == XCB_SCREENSAVER_STATE_ON)
                m_on = true;
            else if (notice->state == XCB_SCREENSAVER_STATE_OFF ||
                     notice->state == XCB_SCREENSAVER_STATE_DISABLED)
                m_on = false;
        }
        std::free(event);
    }
    // A server gone leaves the socket readable for ever: stop listening.
    if (xcb_connection_has_error(x))
        m_notifier->setEnabled(false);
    if (m_on != was)
        Q_EMIT changed(m_on);
}

} // namespace corvane
