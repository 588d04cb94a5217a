#include "platform/x11/X11PasteKeystroke.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keymap.h"
#include "platform/x11/X11PrimaryLoan.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>

namespace corvane {

PasteKeys pasteKeysFor(const std::vector<QByteArray>& windowClass) {
    // The terminal emulators people use, by the names their windows give (instance or class).
    static const char* const controlShiftV[] = {"gnome-terminal",
                                                "gnome-terminal-server",
                                                "org.gnome.terminal",
                                                "org.gnome.console",
                                                "kgx",
                                                "konsole",
                                                "xfce4-terminal",
                                                "mate-terminal",
                                                "lxterminal",
                                                "qterminal",
                                                "terminator",
                                                "tilix",
                                                "com.gexperts.tilix",
                                                "terminology",
                                                "alacritty",
                                                "kitty",
                                                "st",
                                                "st-256color",
                                                "sakura",
                                                "org.wezfurlong.wezterm",
                                                "wezterm",
                                                "guake",
                                                "tilda"};
    const auto named = [&](const char* name) {
        return std::any_of(windowClass.begin(), windowClass.end(),
                           [&](const QByteArray& part) { return part.toLower() == name; });
    };
    if (named("xterm") || named("uxterm"))
        return PasteKeys::shiftInsertFromPrimary;
    if (named("urxvt") || named("rxvt") || named("rxvt-unicode"))
        return PasteKeys::controlAltV;
    if (std::any_of(std::begin(controlShiftV), std::end(controlShiftV), named))
        return PasteKeys::controlShiftV;
    return PasteKeys::controlV;
}

X11PasteKeystroke::X11PasteKeystroke(Scheduler& scheduler, const QByteArray& displayName)
    : m_scheduler(scheduler), m_displayName(displayName), m_x(std::make_unique<X11Connection>(displayName)) {}

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
    std::vector<QByteArray> windowClass;
    if (m_watched != XCB_WINDOW_NONE)
        if (const std::optional<X11Property> found =
                m_x->property(m_watched, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING))
            windowClass = found->strings();
    switch (pasteKeysFor(windowClass)) {
    case PasteKeys::controlV:
        return pressKeys({XKB_KEY_Control_L, XKB_KEY_v});
    case PasteKeys::controlShiftV:
        return pressKeys({XKB_KEY_Control_L, XKB_KEY_Shift_L, XKB_KEY_v});
    case PasteKeys::controlAltV:
        return pressKeys({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_v});
    case PasteKeys::shiftInsertFromPrimary:
        break;
    }
    // Only text goes in this way, and only the entry as this program put it on the clipboard (read
    // without asking anyone): with none, or the clipboard taken over since, no key is pressed.
    QClipboard* board = QGuiApplication::clipboard();
    const QMimeData* clipboard = board->ownsClipboard() ? board->mimeData(QClipboard::Clipboard) : nullptr;
    if (!clipboard || !clipboard->hasText() || clipboard->text().isEmpty())
        return false;
    if (!m_primary)
        m_primary = std::make_unique<X11PrimaryLoan>(m_scheduler, m_displayName);
    m_primary->paste(clipboard->text(), [this] { pressKeys({XKB_KEY_Shift_L, XKB_KEY_Insert}); });
    return true;
}

bool X11PasteKeystroke::pressKeys(const std::vector<xcb_keysym_t>& keysyms) {
    xcb_connection_t* c = m_x->raw();
    if (!X11Keymap::setUpExtension(c))
        return false;
    const X11Keymap keymap(c);
    if (!keymap.isValid())
        return false;
    std::vector<xcb_keycode_t> codes;
    for (xcb_keysym_t keysym : keysyms) {
        const std::optional<xcb_keycode_t> code = keymap.keycodeForSymbol(keysym);
        if (!code)
            return false;
        codes.push_back(*code);
    }
    for (xcb_keycode_t code : codes)
        xcb_test_fake_input(c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        xcb_test_fake_input(c, XCB_KEY_RELEASE, *it, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    m_x->flush();
    return true;
}

} // namespace corvane
