#include "platform/x11/X11KeyTaps.h"

#include "platform/x11/X11Keymap.h"
#include "runtime/Log.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <cstdlib>

namespace corvane {
namespace {

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

X11KeyTaps::X11KeyTaps(const QByteArray& displayName, std::shared_ptr<X11TappedKeys> tapped)
    : m_keyboard(displayName, this, [this] { readEvents(); }), m_tapped(std::move(tapped)) {}

// Closing the connection (with the object) gives every grab back.
X11KeyTaps::~X11KeyTaps() {
    if (m_tapped)
        m_tapped->set(this, {});
}

void X11KeyTaps::publish() {
    if (!m_tapped)
        return;
    std::set<xcb_keycode_t> keycodes;
    for (const auto& [keycode, key] : m_grabbed)
        keycodes.insert(keycode);
    m_tapped->set(this, std::move(keycodes));
}

bool X11KeyTaps::take(Qt::Key key) {
    if (isHeldByAnyTap(key))
        return true;
    const std::optional<uint32_t> keysym = keysymOf(key);
    if (!keysym)
        return false;
    bool taken = false;
    for (xcb_keycode_t keycode : m_keyboard.keymap().keycodesOfSymbol(*keysym)) {
        // In any modifier state, so that the held modifiers reach the tap with the key.
        xcb_generic_error_t* error = xcb_request_check(
            m_keyboard.raw(), xcb_grab_key_checked(m_keyboard.raw(), 0, m_keyboard.root(), XCB_MOD_MASK_ANY,
                                                   keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
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
        xcb_ungrab_key(m_keyboard.raw(), it->first, m_keyboard.root(), XCB_MOD_MASK_ANY);
        m_down.erase(it->first);
        it = m_grabbed.erase(it);
    }
    xcb_flush(m_keyboard.raw());
    publish();
}

bool X11KeyTaps::isHeldByAnyTap(Qt::Key key) const {
    return std::any_of(m_taps.begin(), m_taps.end(), [key](const auto& entry) {
        const std::vector<Qt::Key>& keys = entry.second.keys;
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    });
}

std::optional<KeyTaps::Id> X11KeyTaps::addKeyTap(const std::vector<Qt::Key>& keys, Callback callback) {
    if (!m_keyboard.isConnected())
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
    publish();
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
    if (!m_keyboard.isConnected())
        return;
    for (Qt::Key key : keys)
        if (!isHeldByAnyTap(key))
            release(key);
}

void X11KeyTaps::readEvents() {
    if (!m_keyboard.raw())
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_keyboard.raw())) {
        const uint8_t type = x11EventType(*event);
        if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE)
            handle(*reinterpret_cast<const xcb_key_press_event_t*>(event), type == XCB_KEY_PRESS);
        else if (m_keyboard.isKeymapChange(type))
            keymapChanged();
        std::free(event);
    }
    m_keyboard.stopIfClosed();
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
    tapped.modifiers = m_keyboard.modifiersOf(event.state);
    // A callback may remove taps: deliver from a copy.
    std::vector<Callback> callbacks;
    for (const auto& [id, tap] : m_taps)
        if (std::find(tap.keys.begin(), tap.keys.end(), tapped.key) != tap.keys.end())
            callbacks.push_back(tap.callback);
    for (const Callback& callback : callbacks)
        callback(tapped);
}

void X11KeyTaps::keymapChanged() {
    if (!m_keyboard.isConnected())
        return;
    m_keyboard.reloadKeymap();
    if (!m_keyboard.isConnected())
        return;
    // A key stays held where its key code did not change, as when a keyboard of the same layout
    // only switches in: let go of for a moment, a key pressed meanwhile (the one that made the
    // switch) would reach whatever has the focus, and the tap would miss it.
    std::map<xcb_keycode_t, Qt::Key> wanted;
    for (const auto& [keycode, key] : m_grabbed) {
        // `take` skips keys a tap holds: take them straight from the symbol table here.
        for (xcb_keycode_t now : m_keyboard.keymap().keycodesOfSymbol(*keysymOf(key)))
            wanted[now] = key;
    }
    for (auto it = m_grabbed.begin(); it != m_grabbed.end();) {
        if (const auto kept = wanted.find(it->first); kept != wanted.end() && kept->second == it->second) {
            ++it;
            continue;
        }
        xcb_ungrab_key(m_keyboard.raw(), it->first, m_keyboard.root(), XCB_MOD_MASK_ANY);
        m_down.erase(it->first);
        it = m_grabbed.erase(it);
    }
    for (const auto& [keycode, key] : wanted) {
        if (m_grabbed.count(keycode) != 0)
            continue;
        xcb_grab_key(m_keyboard.raw(), 0, m_keyboard.root(), XCB_MOD_MASK_ANY, keycode, XCB_GRAB_MODE_ASYNC,
                     XCB_GRAB_MODE_ASYNC);
        m_grabbed[keycode] = key;
    }
    xcb_flush(m_keyboard.raw());
    publish();
}

} // namespace corvane
