#pragma once

#include <QPoint>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <initializer_list>
#include <memory>

namespace corvane::testing {

// Keys and pointer moves on the virtual desktop as XTest makes them, as a person would: key codes
// come from the server's live keymap.
class XTestInput {
public:
    XTestInput();

    // The first key code that gives `keysym`; XCB_NO_SYMBOL when none does.
    xcb_keycode_t keycode(xcb_keysym_t keysym) const;
    // Presses the keys in order, then lets them go in reverse.
    void type(std::initializer_list<xcb_keysym_t> keysyms) const;
    void press(xcb_keycode_t code) const;
    void release(xcb_keycode_t code) const;
    void moveTo(QPoint point) const;
    // Moves there and presses and releases a pointer button (1 is the primary one).
    void click(QPoint point, uint8_t button = 1) const;

private:
    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> m_symbols;
};

} // namespace corvane::testing
