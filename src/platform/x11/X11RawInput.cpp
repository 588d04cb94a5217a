#include "platform/x11/X11RawInput.h"

#include "platform/EventMonitors.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keymap.h"

#include <QSocketNotifier>

#include "platform/x11/X11Xkb.h"
#include <xcb/xinput.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <cstdlib>

namespace corvane {

X11RawInput::X11RawInput(const QByteArray& displayName) : m_x(displayName, X11Atoms::none) {
    m_connection = m_x.raw();
    if (!m_x.isValid() || m_x.root() == XCB_WINDOW_NONE)
        return;

    // Raw events reach every client that selects them, whoever grabs the device, from 2.1 on.
    const std::optional<uint8_t> opcode = inputExtensionOpcode(m_connection, 2, 1);
    if (!opcode)
        return;
    m_inputOpcode = *opcode;
    m_root = m_x.root();

    m_xkbEventBase = X11Keymap::watchKeymapChanges(m_connection, false);
    xcb_flush(m_connection);

    m_pixelRatio = primaryScreenPixelRatio();
    m_pointer = queryPointer();
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11RawInput::readEvents);
}

X11RawInput::~X11RawInput() {
    delete m_notifier;
    m_keymap.reset();
}

bool X11RawInput::isValid() const {
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != XCB_WINDOW_NONE;
}

void X11RawInput::select(bool keys, bool motion, bool buttons) {
    uint32_t mask = 0;
    if (buttons)
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS;
    if (keys)
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
    if (motion)
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_MOTION;
    if (!isValid() || mask == m_selected)
        return;
    // Master devices only: each slave's event also comes once through its master.
    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, mask};
    xcb_input_xi_select_events(m_connection, m_root, 1, &selection.head);
    xcb_flush(m_connection);
    m_selected = mask;
}

const X11Keymap* X11RawInput::keymap() {
    if (!isValid())
        return nullptr;
    if (m_keymapStale || !m_keymap) {
        m_keymap = std::make_unique<X11Keymap>(m_connection);
        m_functionKey = findFunctionKey();
        m_keymapStale = false;
        // Reading the keymap waits for replies, behind which events may have queued.
        QMetaObject::invokeMethod(this, &X11RawInput::readEvents, Qt::QueuedConnection);
    }
    return m_keymap->isValid() ? m_keymap.get() : nullptr;
}

std::optional<xcb_keycode_t> X11RawInput::findFunctionKey() const {
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const xcb_keycode_t first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    X11Reply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, first, static_cast<uint8_t>(count)), nullptr));
    if (!mapping || mapping->keysyms_per_keycode == 0)
        return std::nullopt;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKey = mapping->keysyms_per_keycode;
    const int length = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
    for (xcb_keysym_t wanted : {xcb_keysym_t(XKB_KEY_XF86Fn), xcb_keysym_t(XKB_KEY_Menu)})
        for (int i = 0; i < length; ++i)
            if (keysyms[i] == wanted)
                return static_cast<xcb_keycode_t>(first + i / perKey);
    return std::nullopt;
}

std::optional<qint64> X11RawInput::keyCode(xcb_keycode_t keycode) {
    const X11Keymap* map = keymap();
    if (!map)
        return std::nullopt;
    if (m_functionKey && keycode == *m_functionKey)
        return functionKeyCode;
    return map->keyCode(keycode);
}

std::optional<xcb_keycode_t> X11RawInput::functionKey() {
    return keymap() ? m_functionKey : std::nullopt;
}

uint16_t X11RawInput::numLockMask() {
    const X11Keymap* map = keymap();
    return map ? map->numLockMask() : uint16_t(XCB_MOD_MASK_2);
}

std::vector<xcb_keycode_t> X11RawInput::pressedKeys() {
    std::vector<xcb_keycode_t> keys;
    if (!isValid())
        return keys;
    X11Reply<xcb_query_keymap_reply_t> state(
        xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr));
    QMetaObject::invokeMethod(this, &X11RawInput::readEvents, Qt::QueuedConnection);
    if (!state)
        return keys;
    for (int byte = 0; byte < 32; ++byte)
        for (int bit = 0; bit < 8; ++bit)
            if (state->keys[byte] & (1u << bit))
                keys.push_back(static_cast<xcb_keycode_t>(byte * 8 + bit));
    return keys;
}

QPointF X11RawInput::queryPointer() {
    X11Reply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr));
    if (!pointer)
        return m_pointer;
    return QPointF(pointer->root_x / m_pixelRatio, pointer->root_y / m_pixelRatio);
}

void X11RawInput::readWindowsUnderPointer() {
    m_windows.clear();
    xcb_window_t window = m_root;
    // Down from the root, each answer naming the child that holds the pointer; the depth of a
    // real window tree is far below the bound.
    for (int depth = 0; depth < 16; ++depth) {
        X11Reply<xcb_query_pointer_reply_t> pointer(
            xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, window), nullptr));
        if (!pointer)
            break;
        if (window == m_root)
            m_pointer = QPointF(pointer->root_x / m_pixelRatio, pointer->root_y / m_pixelRatio);
        if (!pointer->same_screen || pointer->child == XCB_WINDOW_NONE)
            break;
        window = pointer->child;
        m_windows.push_back(window);
    }
}

xcb_window_t X11RawInput::rootChildOf(xcb_window_t window) {
    if (!isValid())
        return XCB_WINDOW_NONE;
    for (int depth = 0; depth < 16; ++depth) {
        X11Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree)
            return XCB_WINDOW_NONE;
        if (tree->parent == m_root)
            return window;
        window = tree->parent;
    }
    return XCB_WINDOW_NONE;
}

bool X11RawInput::handle(const xcb_generic_event_t& event) {
    const uint8_t type = x11EventType(event);
    if (type == XCB_GE_GENERIC) {
        const auto& raw = reinterpret_cast<const xcb_input_raw_key_press_event_t&>(event);
        if (raw.extension != m_inputOpcode)
            return false;
        switch (raw.event_type) {
        case XCB_INPUT_RAW_KEY_PRESS:
        case XCB_INPUT_RAW_KEY_RELEASE:
            if (onKey && raw.detail <= 255)
                onKey(static_cast<xcb_keycode_t>(raw.detail), raw.event_type == XCB_INPUT_RAW_KEY_PRESS);
            return false;
        case XCB_INPUT_RAW_MOTION:
            return true;
        case XCB_INPUT_RAW_BUTTON_PRESS:
            // A wheel's turns come as presses of buttons 4 to 7: only real buttons are asked about.
            if (onButtonPress && (raw.detail == 1 || raw.detail == 3)) {
                readWindowsUnderPointer();
                onButtonPress(static_cast<uint8_t>(raw.detail));
            }
            return false;
        default:
            return false;
        }
    }
    // Every client hears of keymap changes through the core protocol; XKB tells of new keyboards.
    if (type == XCB_MAPPING_NOTIFY || (m_xkbEventBase && type == *m_xkbEventBase)) {
        m_keymapStale = true;
        m_keymapChanged = true;
    }
    return false;
}

void X11RawInput::readEvents() {
    if (!isValid())
        return;
    // Handlers may ask the server questions whose replies queue further events behind them:
    // read until a round finds nothing.
    bool any = true;
    while (any) {
        any = false;
        bool moved = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            any = true;
            moved = handle(*event) || moved;
            std::free(event);
        }
        if (m_keymapChanged) {
            m_keymapChanged = false;
            if (onKeymapChanged)
                onKeymapChanged();
        }
        if (moved && (m_selected & XCB_INPUT_XI_EVENT_MASK_RAW_MOTION)) {
            m_pointer = queryPointer();
            if (onMotion)
                onMotion(m_pointer);
        }
    }
}

} // namespace corvane
