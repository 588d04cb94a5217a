#pragma once

#include "platform/PasteKeystroke.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <memory>

namespace corvane {

class X11Connection;

// The focus confirmed by the FocusIn the server sends for the window (or by the server's answer
// when the window never lost it), the keys pressed through XTest. All on a connection of its own.
class X11PasteKeystroke final : public PasteKeystroke {
public:
    explicit X11PasteKeystroke(const QByteArray& displayName = {});
    ~X11PasteKeystroke() override;

    void watchFocus(uint32_t window) override;
    bool hasFocus(uint32_t window) override;
    bool sendPaste() override;

private:
    bool focusIsWithin(xcb_window_t window);

    std::unique_ptr<X11Connection> m_x;
    xcb_window_t m_watched = XCB_WINDOW_NONE;
    bool m_focusIn = false;
};

} // namespace corvane
