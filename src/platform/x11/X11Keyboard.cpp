#include "platform/x11/X11Keyboard.h"

#include "platform/x11/X11Keymap.h"

#include "platform/x11/X11Xkb.h"

#include <cstdlib>

namespace corvane {

X11Keyboard::X11Keyboard(const QByteArray& displayName) : m_x(displayName, X11Atoms::none) {
    m_connection = m_x.raw();
    if (!m_x.isValid() || !X11Keymap::watchKeymapChanges(m_connection, false))
        return;
    xcb_flush(m_connection);
}

X11Keyboard::~X11Keyboard() {
    m_keymap.reset();
}

const X11Keymap* X11Keyboard::keymap() const {
    if (!m_connection || xcb_connection_has_error(m_connection))
        return nullptr;
    bool changed = !m_keymap;
    // Only keymap announcements come on this connection (and the modifier-map change every
    // client gets); any of them makes the keymap stale.
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        changed = true;
        std::free(event);
    }
    if (changed)
        m_keymap = std::make_unique<X11Keymap>(m_connection);
    return m_keymap->isValid() ? m_keymap.get() : nullptr;
}

std::optional<QString> X11Keyboard::keyText(qint64 keyCode) const {
    const X11Keymap* map = keymap();
    return map ? map->keyText(keyCode) : std::nullopt;
}

std::optional<qint64> X11Keyboard::keyCode(quint32 nativeKeyCode) const {
    const X11Keymap* map = keymap();
    if (!map || nativeKeyCode > 255)
        return std::nullopt;
    return map->keyCode(static_cast<xcb_keycode_t>(nativeKeyCode));
}

KeyRepeat X11Keyboard::keyRepeat() const {
    const KeyRepeat fallback;
    if (!keymap())
        return fallback;
    xcb_xkb_get_controls_reply_t* controls = xcb_xkb_get_controls_reply(
        m_connection, xcb_xkb_get_controls(m_connection, XCB_XKB_ID_USE_CORE_KBD), nullptr);
    if (!controls)
        return fallback;
    KeyRepeat repeat = fallback;
    if (controls->repeatDelay > 0)
        repeat.delay = Seconds(controls->repeatDelay / 1000.0);
    if (controls->repeatInterval > 0)
        repeat.interval = Seconds(controls->repeatInterval / 1000.0);
    std::free(controls);
    return repeat;
}

} // namespace corvane
