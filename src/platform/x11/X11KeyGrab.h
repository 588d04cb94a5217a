#pragma once

#include <QByteArray>

#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

#include <memory>
#include <optional>

namespace corvane {

class X11EventThread;

// A passive grab of one key on the root window, so that its presses reach no other program. It
// lives on a connection of its own: the server gives the raw events of a grabbed key to other
// connections only, so the connection that watches raw events must not be the one holding the
// grab. Every state of the lock modifiers is grabbed, so that the grab holds whether Caps Lock or
// Num Lock is on. A press would turn the grab into a hold of the whole keyboard for as long as
// the key is down; the keyboard is let go the moment the press comes, on a thread of its own, so
// that every other key typed meanwhile reaches the program in front as usual (the key's own
// release goes there too, alone, which programs ignore). Main thread only.
class X11KeyGrab final {
public:
    explicit X11KeyGrab(const QByteArray& displayName = {});
    ~X11KeyGrab();
    X11KeyGrab(const X11KeyGrab&) = delete;
    X11KeyGrab& operator=(const X11KeyGrab&) = delete;

    // Grabs `keycode` pressed without other modifiers, giving back an earlier grab first; none
    // only gives it back. False when the server refuses the grab (another program holds it).
    bool grab(std::optional<xcb_keycode_t> keycode, uint16_t numLockMask);
    std::optional<xcb_keycode_t> grabbedKey() const { return m_key; }

private:
    bool isConnected() const;
    void ungrab();

    // Its own connection: closing it gives back what it grabbed or selected.
    X11Connection m_x;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    // Reads the grab's events; stopped before the connection closes.
    std::unique_ptr<X11EventThread> m_events;
    std::optional<xcb_keycode_t> m_key;
    uint16_t m_numLockMask = 0;
};

} // namespace corvane
