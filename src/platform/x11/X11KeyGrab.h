#pragma once

#include <QByteArray>
#include <QObject>

#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

#include <optional>

class QSocketNotifier;

namespace corvane {

// A passive grab of one key on the root window, so that its presses and releases reach no other
// program. It lives on a connection of its own: the server gives the raw events of a grabbed key
// to other connections only, so the connection that watches raw events must not be the one
// holding the grab. Every state of the lock modifiers is grabbed, so that the grab holds whether
// Caps Lock or Num Lock is on. The events the grab brings are read and dropped. Main thread only.
class X11KeyGrab final : public QObject {
    Q_OBJECT
public:
    explicit X11KeyGrab(const QByteArray& displayName = {});
    ~X11KeyGrab() override;

    // Grabs `keycode` pressed without other modifiers, giving back an earlier grab first; none
    // only gives it back. False when the server refuses the grab (another program holds it).
    bool grab(std::optional<xcb_keycode_t> keycode, uint16_t numLockMask);
    std::optional<xcb_keycode_t> grabbedKey() const { return m_key; }

private:
    bool isConnected() const;
    void ungrab();
    void dropEvents();

    // Its own connection: closing it gives back what it grabbed or selected.
    X11Connection m_x;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    QSocketNotifier* m_notifier = nullptr;
    std::optional<xcb_keycode_t> m_key;
    uint16_t m_numLockMask = 0;
};

} // namespace corvane
