#include "platform/x11/X11KeyGrab.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keymap.h"

#include "runtime/Log.h"

#include <QSocketNotifier>

#include <cstdlib>
#include <vector>

namespace corvane {

X11KeyGrab::X11KeyGrab(const QByteArray& displayName) : m_x(displayName, X11Atoms::none) {
    m_connection = m_x.raw();
    if (!m_x.isValid() || m_x.root() == XCB_WINDOW_NONE)
        return;
    m_root = m_x.root();
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11KeyGrab::dropEvents);
}

X11KeyGrab::~X11KeyGrab() {
    delete m_notifier;
    // Closing the connection gives the grab back.
}

bool X11KeyGrab::isConnected() const {
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != XCB_WINDOW_NONE;
}

bool X11KeyGrab::grab(std::optional<xcb_keycode_t> keycode, uint16_t numLockMask) {
    ungrab();
    if (!keycode || !isConnected())
        return !keycode;
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t modifiers : lockModifierCombinations(numLockMask))
        cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root, modifiers, *keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool refused = false;
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    m_key = keycode;
    m_numLockMask = numLockMask;
    if (refused) {
        qCWarning(lcRadial, "The key %u is held by another program", unsigned(*keycode));
        ungrab();
    }
    // Checking the requests may have queued events that the notifier will not announce.
    dropEvents();
    return !refused;
}

void X11KeyGrab::ungrab() {
    if (!m_key || !isConnected()) {
        m_key.reset();
        return;
    }
    for (uint16_t modifiers : lockModifierCombinations(m_numLockMask))
        xcb_ungrab_key(m_connection, *m_key, m_root, modifiers);
    xcb_flush(m_connection);
    m_key.reset();
}

void X11KeyGrab::dropEvents() {
    if (!m_connection)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}

} // namespace corvane
