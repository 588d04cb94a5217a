#include "platform/x11/X11KeyGrab.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11EventThread.h"
#include "platform/x11/X11Keymap.h"

#include "runtime/Log.h"

#include <cstdlib>
#include <vector>

namespace corvane {

X11KeyGrab::X11KeyGrab(const QByteArray& displayName) : m_x(displayName, X11Atoms::none) {
    m_connection = m_x.raw();
    if (!m_x.isValid() || m_x.root() == XCB_WINDOW_NONE)
        return;
    m_root = m_x.root();
    xcb_connection_t* connection = m_connection;
    m_events = std::make_unique<X11EventThread>(connection, [connection] {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            // The press froze the keyboard under a grab of ours: letting go of it sends everything
            // typed since on to the program in front.
            if (x11EventType(*event) == XCB_KEY_PRESS) {
                xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
                xcb_flush(connection);
            }
            std::free(event);
        }
    });
}

// Closing the connection (after the thread has stopped) gives the grab back.
X11KeyGrab::~X11KeyGrab() = default;

bool X11KeyGrab::isConnected() const {
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != XCB_WINDOW_NONE;
}

bool X11KeyGrab::grab(std::optional<xcb_keycode_t> keycode, uint16_t numLockMask) {
    ungrab();
    // Unread, the grab would freeze the keyboard at the key's press for good.
    if (!keycode || !isConnected() || !m_events->isRunning())
        return !keycode;
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t modifiers : lockModifierCombinations(numLockMask))
        cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root, modifiers, *keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC));
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
    // Checking the requests may have queued events that the thread does not see arrive.
    m_events->wake();
    return !refused;
}

void X11KeyGrab::ungrab() {
    if (!m_key || !isConnected()) {
        m_key.reset();
        return;
    }
    // Waited for: a key pressed the moment after (the wheel switched off in Settings, then fn)
    // must find the grab gone, and the server takes requests from different connections in no
    // set order.
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t modifiers : lockModifierCombinations(m_numLockMask))
        cookies.push_back(xcb_ungrab_key_checked(m_connection, *m_key, m_root, modifiers));
    for (xcb_void_cookie_t cookie : cookies)
        std::free(xcb_request_check(m_connection, cookie));
    m_key.reset();
}

} // namespace corvane
