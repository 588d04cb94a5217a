#include "platform/x11/X11PasteKeystroke.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keymap.h"

#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace corvane {

X11PasteKeystroke::X11PasteKeystroke(const QByteArray& displayName)
    : m_x(std::make_unique<X11Connection>(displayName)) {}

X11PasteKeystroke::~X11PasteKeystroke() = default;

void X11PasteKeystroke::watchFocus(uint32_t window) {
    if (!m_x->isValid())
        return;
    // Focus events of that window come to this connection from now on.
    const uint32_t mask = XCB_EVENT_MASK_FOCUS_CHANGE;
    xcb_change_window_attributes(m_x->raw(), window, XCB_CW_EVENT_MASK, &mask);
    m_x->flush();
    m_watched = window;
    m_focusIn = false;
}

bool X11PasteKeystroke::hasFocus(uint32_t window) {
    if (!m_x->isValid())
        return false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_x->raw())) {
        const uint8_t type = x11EventType(*event);
        if (type == XCB_FOCUS_IN || type == XCB_FOCUS_OUT) {
            auto* focus = reinterpret_cast<xcb_focus_in_event_t*>(event);
            // Focus moving under a keyboard grab is not a real change of focus.
            const bool real =
                focus->mode == XCB_NOTIFY_MODE_NORMAL || focus->mode == XCB_NOTIFY_MODE_WHILE_GRABBED;
            if (focus->event == m_watched && real)
                m_focusIn = type == XCB_FOCUS_IN;
        }
        std::free(event);
    }
    // A window that never lost the focus gets no FocusIn: the server's answer settles it then.
    return window == m_watched && (m_focusIn || focusIsWithin(window));
}

bool X11PasteKeystroke::focusIsWithin(xcb_window_t window) {
    xcb_connection_t* c = m_x->raw();
    X11Reply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    if (!focus)
        return false;
    xcb_window_t current = focus->focus;
    // Up the tree from the focused window: the program may focus a window inside its own.
    for (int depth = 0; depth < 32 && current != XCB_WINDOW_NONE && current != m_x->root(); ++depth) {
        if (current == window)
            return true;
        X11Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, current), nullptr));
        if (!tree)
            return false;
        current = tree->parent;
    }
    return false;
}

bool X11PasteKeystroke::sendPaste() {
    if (!m_x->isValid())
        return false;
    xcb_connection_t* c = m_x->raw();
    if (!X11Keymap::setUpExtension(c))
        return false;
    const X11Keymap keymap(c);
    if (!keymap.isValid())
        return false;
    const std::optional<xcb_keycode_t> control = keymap.keycodeForSymbol(XKB_KEY_Control_L);
    const std::optional<xcb_keycode_t> v = keymap.keycodeForSymbol(XKB_KEY_v);
    if (!control || !v)
        return false;
    xcb_test_fake_input(c, XCB_KEY_PRESS, *control, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_KEY_PRESS, *v, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_KEY_RELEASE, *v, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_KEY_RELEASE, *control, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    m_x->flush();
    return true;
}

} // namespace corvane
