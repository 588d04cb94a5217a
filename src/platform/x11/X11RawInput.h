#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointF>

#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

namespace corvane {

class X11Keymap;

// Every program's key presses, key releases, button presses and pointer motion, from XInput2's
// raw events on the root window, read on the main thread from a connection of its own. Raw events carry no
// modifier state and, for motion, only device deltas: the pointer's position is asked of the
// server once per batch of motion. Also knows the live keymap, to name X key codes by the stored
// virtual key codes (the key standing for fn included). Main thread only.
class X11RawInput final : public QObject {
    Q_OBJECT
public:
    explicit X11RawInput(const QByteArray& displayName = {});
    ~X11RawInput() override;

    // Whether the server has XInput2 and the events can be read.
    bool isValid() const;

    // Which raw events to read; none are read at first, and reading motion costs a round trip
    // per batch (a button press a few), so ask only for what someone watches.
    void select(bool keys, bool motion, bool buttons = false);

    // The virtual key code of an X key code: the key standing for fn, or the position the shared
    // key-code table names; none for keys neither knows.
    std::optional<qint64> keyCode(xcb_keycode_t keycode);
    // The key that stands for fn: the one that produces XF86Fn where the keymap has one, else
    // the Menu key; none when the keymap has neither.
    std::optional<xcb_keycode_t> functionKey();
    uint16_t numLockMask();
    // The keys held down right now.
    std::vector<xcb_keycode_t> pressedKeys();
    // The pointer as of the last motion read (or the start), in the product's coordinates.
    QPointF lastPointer() const { return m_pointer; }

    std::function<void(xcb_keycode_t keycode, bool pressed)> onKey;
    std::function<void(QPointF location)> onMotion;
    // A pointer button went down (1 is the primary one, 3 the secondary); the pointer is read
    // anew first, and `lastWindows` is where it is.
    std::function<void(uint8_t button)> onButtonPress;
    // The windows under the pointer as of the last button press, from the root's child down to
    // the innermost.
    const std::vector<xcb_window_t>& lastWindows() const { return m_windows; }
    // The child of the root that holds `window` (a top-level window's frame, when the window
    // manager put it in one): XCB_WINDOW_NONE when the server does not know the window.
    xcb_window_t rootChildOf(xcb_window_t window);
    // The keymap changed: key codes may now stand for other keys.
    std::function<void()> onKeymapChanged;

private:
    const X11Keymap* keymap();
    std::optional<xcb_keycode_t> findFunctionKey() const;
    QPointF queryPointer();
    // Reads the pointer and the windows under it down to the innermost into `m_windows`.
    void readWindowsUnderPointer();
    void readEvents();
    // Handles one event; true when it was pointer motion.
    bool handle(const xcb_generic_event_t& event);

    // Its own connection: closing it gives back what it grabbed or selected.
    X11Connection m_x;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    uint8_t m_inputOpcode = 0;
    std::optional<uint8_t> m_xkbEventBase;
    QSocketNotifier* m_notifier = nullptr;
    std::unique_ptr<X11Keymap> m_keymap;
    std::optional<xcb_keycode_t> m_functionKey;
    bool m_keymapStale = true;
    bool m_keymapChanged = false;
    double m_pixelRatio = 1.0;
    QPointF m_pointer;
    std::vector<xcb_window_t> m_windows;
    uint32_t m_selected = 0;
};

} // namespace corvane
