#include "platform/x11/X11KeyTaps.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keymap.h"
#include "platform/x11/X11Xkb.h"
#include "runtime/Log.h"

#include <QSocketNotifier>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <cstdlib>

namespace corvane {
namespace {

// The stored modifier bits (see TappedKey).
constexpr qint64 commandBit = 0x100, shiftBit = 0x200, optionBit = 0x800, controlBit = 0x1000;

// The keys a tap can hold, by their X key symbols.
std::optional<uint32_t> keysymOf(Qt::Key key) {
    switch (key) {
    case Qt::Key_VolumeUp:
        return XKB_KEY_XF86AudioRaiseVolume;
    case Qt::Key_VolumeDown:
        return XKB_KEY_XF86AudioLowerVolume;
    case Qt::Key_VolumeMute:
        return XKB_KEY_XF86AudioMute;
    case Qt::Key_MonBrightnessUp:
        return XKB_KEY_XF86MonBrightnessUp;
    case Qt::Key_MonBrightnessDown:
        return XKB_KEY_XF86MonBrightnessDown;
    case Qt::Key_KeyboardBrightnessUp:
        return XKB_KEY_XF86KbdBrightnessUp;
    case Qt::Key_KeyboardBrightnessDown:
        return XKB_KEY_XF86KbdBrightnessDown;
    case Qt::Key_MediaPlay:
        return XKB_KEY_XF86AudioPlay;
    case Qt::Key_MediaNext:
        return XKB_KEY_XF86AudioNext;
    case Qt::Key_MediaPrevious:
        return XKB_KEY_XF86AudioPrev;
    default:
        return std::nullopt;
    }
}

} // namespace

X11KeyTaps::X11KeyTaps(const QByteArray& displayName) {
    const X11Display display = openDisplay(displayName);
    m_connection = display.connection;
    if (xcb_connection_has_error(m_connection) || display.root == XCB_WINDOW_NONE)
        return;
    m_root = display.root;
    // Repeats of a held key then come as presses alone, marked as repeats for the taps.
    m_xkbEventBase = X11Keymap::watchKeymapChanges(m_connection, true);
    m_keymap = std::make_unique<X11Keymap>(m_connection);
    xcb_flush(m_connection);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11KeyTaps::readEvents);
}

X11KeyTaps::~X11KeyTaps() {
    delete m_notifier;
    m_keymap.reset();
    // Closing the connection gives every grab back.
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11KeyTaps::isConnected() const {
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != XCB_WINDOW_NONE && m_keymap &&
           m_keymap->isValid();
}

bool X11KeyTaps::take(Qt::Key key) {
    if (isHeldByAnyTap(key))
        return true;
    const std::optional<uint32_t> keysym = keysymOf(key);
    if (!keysym)
        return false;
    bool taken = false;
    for (xcb_keycode_t keycode : m_keymap->keycodesOfSymbol(*keysym)) {
        // In any modifier state, so that the held modifiers reach the tap with the key.
        xcb_generic_error_t* error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 0, m_root, XCB_MOD_MASK_ANY, keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        if (error) {
            std::free(error);
            continue;
        }
        m_grabbed[keycode] = key;
        taken = true;
    }
    return taken;
}

void X11KeyTaps::release(Qt::Key key) {
    for (auto it = m_grabbed.begin(); it != m_grabbed.end();) {
        if (it->second != key) {
            ++it;
            continue;
        }
        xcb_ungrab_key(m_connection, it->first, m_root, XCB_MOD_MASK_ANY);
        m_down.erase(it->first);
        it = m_grabbed.erase(it);
    }
    xcb_flush(m_connection);
}

bool X11KeyTaps::isHeldByAnyTap(Qt::Key key) const {
    return std::any_of(m_taps.begin(), m_taps.end(), [key](const auto& entry) {
        const std::vector<Qt::Key>& keys = entry.second.keys;
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    });
}

std::optional<KeyTaps::Id> X11KeyTaps::addKeyTap(const std::vector<Qt::Key>& keys, Callback callback) {
    if (!isConnected())
        return std::nullopt;
    std::vector<Qt::Key> taken;
    for (Qt::Key key : keys) {
        if (take(key))
            taken.push_back(key);
        else
            qCWarning(lcApp, "The key 0x%x is missing here or held by another program", unsigned(key));
    }
    if (taken.empty())
        return std::nullopt;
    const Id id = ++m_lastId;
    m_taps[id] = Tap{std::move(taken), std::move(callback)};
    // Checking the grabs may have pulled events into xcb's queue, where the notifier never sees
    // them: read them on the next turn.
    QMetaObject::invokeMethod(this, &X11KeyTaps::readEvents, Qt::QueuedConnection);
    return id;
}

void X11KeyTaps::removeKeyTap(Id id) {
    const auto found = m_taps.find(id);
    if (found == m_taps.end())
        return;
    const std::vector<Qt::Key> keys = std::move(found->second.keys);
    m_taps.erase(found);
    if (!isConnected())
        return;
    for (Qt::Key key : keys)
        if (!isHeldByAnyTap(key))
            release(key);
}

void X11KeyTaps::readEvents() {
    if (!m_connection)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        const uint8_t type = x11EventType(*event);
        if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE)
            handle(*reinterpret_cast<const xcb_key_press_event_t*>(event), type == XCB_KEY_PRESS);
        else if (type == XCB_MAPPING_NOTIFY || (m_xkbEventBase && type == *m_xkbEventBase))
            keymapChanged();
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection))
        m_notifier->setEnabled(false);
}

void X11KeyTaps::handle(const xcb_key_press_event_t& event, bool pressed) {
    const auto grabbed = m_grabbed.find(event.detail);
    if (grabbed == m_grabbed.end())
        return;
    TappedKey tapped;
    tapped.key = grabbed->second;
    tapped.pressed = pressed;
    tapped.autoRepeat = pressed && m_down.contains(event.detail);
    if (pressed)
        m_down.insert(event.detail);
    else
        m_down.erase(event.detail);
    if (event.state & XCB_MOD_MASK_SHIFT)
        tapped.modifiers |= shiftBit;
    if (event.state & XCB_MOD_MASK_CONTROL)
        tapped.modifiers |= controlBit;
    if (event.state & m_keymap->altMask())
        tapped.modifiers |= optionBit;
    if (event.state & m_keymap->superMask())
        tapped.modifiers |= commandBit;
    // A callback may remove taps: deliver from a copy.
    std::vector<Callback> callbacks;
    for (const auto& [id, tap] : m_taps)
        if (std::find(tap.keys.begin(), tap.keys.end(), tapped.key) != tap.keys.end())
            callbacks.push_back(tap.callback);
    for (const Callback& callback : callbacks)
        callback(tapped);
}

void X11KeyTaps::keymapChanged() {
    if (!isConnected())
        return;
    std::set<Qt::Key> held;
    for (const auto& [keycode, key] : m_grabbed)
        held.insert(key);
    for (Qt::Key key : held)
        release(key);
    m_keymap = std::make_unique<X11Keymap>(m_connection);
    if (!m_keymap->isValid())
        return;
    // `take` skips keys a tap holds: take them straight from the symbol table here.
    for (Qt::Key key : held) {
        const std::optional<uint32_t> keysym = keysymOf(key);
        for (xcb_keycode_t keycode : m_keymap->keycodesOfSymbol(*keysym)) {
            xcb_grab_key(m_connection, 0, m_root, XCB_MOD_MASK_ANY, keycode, XCB_GRAB_MODE_ASYNC,
                         XCB_GRAB_MODE_ASYNC);
            m_grabbed[keycode] = key;
        }
    }
    xcb_flush(m_connection);
}

} // namespace corvane
