#pragma once

#include "platform/PasteKeystroke.h"
#include "runtime/Scheduler.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <memory>
#include <vector>

namespace corvane {

class X11Connection;
class X11PrimaryLoan;

// How a program pastes the clipboard from the keyboard.
enum class PasteKeys {
    controlV,
    // Terminal emulators, where Control+V is a key of its own for the program inside.
    controlShiftV,
    // rxvt-unicode, whose Control+Shift starts typing a character by its code.
    controlAltV,
    // xterm: Shift+Insert, which pastes the primary selection only.
    shiftInsertFromPrimary,
};
// By the instance and class of a window's WM_CLASS.
PasteKeys pasteKeysFor(const std::vector<QByteArray>& windowClass);

// The focus confirmed by the FocusIn the server sends for the window (or by the server's answer
// when the window never lost it), the keys pressed through XTest. All on a connection of its own.
// The keys are those the watched window's program pastes with (its WM_CLASS tells); into xterm
// the clipboard's text goes through the primary selection, lent for the paste.
class X11PasteKeystroke final : public PasteKeystroke {
public:
    explicit X11PasteKeystroke(Scheduler& scheduler, const QByteArray& displayName = {});
    ~X11PasteKeystroke() override;

    void watchFocus(uint32_t window) override;
    bool hasFocus(uint32_t window) override;
    bool sendPaste() override;

private:
    bool focusIsWithin(xcb_window_t window);
    bool pressKeys(const std::vector<xcb_keysym_t>& keysyms);

    Scheduler& m_scheduler;
    QByteArray m_displayName;
    std::unique_ptr<X11Connection> m_x;
    std::unique_ptr<X11PrimaryLoan> m_primary;
    xcb_window_t m_watched = XCB_WINDOW_NONE;
    bool m_focusIn = false;
};

} // namespace corvane
