#include "support/XTestInput.h"

#include "support/IntegrationMain.h"
#include "support/VirtualDesktop.h"

#include <xcb/xtest.h>

#include <cstdlib>
#include <vector>

namespace corvane::testing {
namespace {

void send(uint8_t type, uint8_t detail, QPoint at = {}) {
    xcb_test_fake_input(desktop().connection(), type, detail, XCB_CURRENT_TIME, desktop().rootWindow(),
                        static_cast<int16_t>(at.x()), static_cast<int16_t>(at.y()), 0);
}

} // namespace

XTestInput::XTestInput() : m_symbols(xcb_key_symbols_alloc(desktop().connection()), &xcb_key_symbols_free) {}

xcb_keycode_t XTestInput::keycode(xcb_keysym_t keysym) const {
    std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(
        xcb_key_symbols_get_keycode(m_symbols.get(), keysym), &std::free);
    return codes ? codes.get()[0] : XCB_NO_SYMBOL;
}

void XTestInput::type(std::initializer_list<xcb_keysym_t> keysyms) const {
    std::vector<xcb_keycode_t> codes;
    for (xcb_keysym_t keysym : keysyms)
        codes.push_back(keycode(keysym));
    for (xcb_keycode_t code : codes)
        send(XCB_KEY_PRESS, code);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        send(XCB_KEY_RELEASE, *it);
    xcb_flush(desktop().connection());
}

void XTestInput::press(xcb_keycode_t code) const {
    send(XCB_KEY_PRESS, code);
    xcb_flush(desktop().connection());
}

void XTestInput::release(xcb_keycode_t code) const {
    send(XCB_KEY_RELEASE, code);
    xcb_flush(desktop().connection());
}

void XTestInput::moveTo(QPoint point) const {
    send(XCB_MOTION_NOTIFY, 0, point);
    xcb_flush(desktop().connection());
}

void XTestInput::click(QPoint point, uint8_t button) const {
    send(XCB_MOTION_NOTIFY, 0, point);
    send(XCB_BUTTON_PRESS, button);
    send(XCB_BUTTON_RELEASE, button);
    xcb_flush(desktop().connection());
}

} // namespace corvane::testing
