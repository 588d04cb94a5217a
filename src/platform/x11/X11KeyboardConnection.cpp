#include "platform/x11/X11KeyboardConnection.h"

#include "platform/ModifierBits.h"

#include <QSocketNotifier>

#include <cstdlib>
#include <vector>

namespace corvane {

X11KeyboardConnection::X11KeyboardConnection(const QByteArray& displayName, QObject* owner,
                                             std::function<void()> onReadable)
    : m_x(displayName, X11Atoms::none) {
    m_connection = m_x.raw();
    if (!m_x.isValid() || m_x.root() == XCB_WINDOW_NONE)
        return;
    m_root = m_x.root();
    // Repeats of a held key then come as presses alone, which are easy to tell apart.
    m_xkbEventBase = X11Keymap::watchKeymapChanges(m_connection, true);
    m_keymap = std::make_unique<X11Keymap>(m_connection);
    xcb_flush(m_connection);
    if (!onReadable)
        return;
    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, owner, std::move(onReadable));
}

X11KeyboardConnection::~X11KeyboardConnection() = default;

bool X11KeyboardConnection::isConnected() const {
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != XCB_WINDOW_NONE && m_keymap &&
           m_keymap->isValid();
}

bool X11KeyboardConnection::isKeymapChange(uint8_t type) const {
    return type == XCB_MAPPING_NOTIFY || (m_xkbEventBase && type == *m_xkbEventBase);
}

X11KeyboardConnection::Reload X11KeyboardConnection::reloadKeymap() {
    Reload reload;
    reload.locksBefore = m_keymap ? m_keymap->numLockMask() : uint16_t(0);
    if (m_connection)
        m_keymap = std::make_unique<X11Keymap>(m_connection);
    reload.locksMoved = !isConnected() || m_keymap->numLockMask() != reload.locksBefore;
    return reload;
}

void X11KeyboardConnection::stopIfClosed() {
    if (m_notifier && xcb_connection_has_error(m_connection))
        m_notifier->setEnabled(false);
}

qint64 X11KeyboardConnection::modifiersOf(uint16_t state) const {
    qint64 modifiers = 0;
    if (state & XCB_MOD_MASK_SHIFT)
        modifiers |= HotKeyModifier::shift;
    if (state & XCB_MOD_MASK_CONTROL)
        modifiers |= HotKeyModifier::control;
    if (state & m_keymap->altMask())
        modifiers |= HotKeyModifier::option;
    if (state & m_keymap->superMask())
        modifiers |= HotKeyModifier::command;
    return modifiers;
}

uint16_t X11KeyboardConnection::maskOf(qint64 modifiers) const {
    uint16_t mask = 0;
    if (modifiers & HotKeyModifier::control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & HotKeyModifier::shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & HotKeyModifier::option)
        mask |= m_keymap->altMask();
    if (modifiers & HotKeyModifier::command)
        mask |= m_keymap->superMask();
    return mask;
}

std::optional<std::pair<xcb_keycode_t, uint16_t>>
X11KeyboardConnection::combinationOf(qint64 keyCode, qint64 modifiers) const {
    // The function key never reaches X: a combination that needs it cannot be pressed here.
    if (modifiers & HotKeyModifier::function)
        return std::nullopt;
    const std::optional<xcb_keycode_t> keycode = m_keymap->keycode(keyCode);
    if (!keycode)
        return std::nullopt;
    return std::make_pair(*keycode, maskOf(modifiers));
}

std::optional<uint8_t> X11KeyboardConnection::grabCombination(xcb_keycode_t keycode, uint16_t mask,
                                                              bool freezes) {
    std::vector<xcb_void_cookie_t> cookies;
    const uint8_t keyboardMode = freezes ? XCB_GRAB_MODE_SYNC : XCB_GRAB_MODE_ASYNC;
    for (uint16_t locks : lockModifierCombinations(m_keymap->numLockMask()))
        cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root, static_cast<uint16_t>(mask | locks),
                                               keycode, XCB_GRAB_MODE_ASYNC, keyboardMode));
    std::optional<uint8_t> failure;
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            if (!failure)
                failure = error->error_code;
            std::free(error);
        }
    }
    // Half a combination is no use: give back what was taken.
    if (failure)
        ungrabCombination(keycode, mask);
    return failure;
}

void X11KeyboardConnection::ungrabCombination(xcb_keycode_t keycode, uint16_t mask) {
    ungrabCombination(keycode, mask, m_keymap->numLockMask());
}

void X11KeyboardConnection::ungrabCombination(xcb_keycode_t keycode, uint16_t mask, uint16_t numLockMask) {
    for (uint16_t locks : lockModifierCombinations(numLockMask))
        xcb_ungrab_key(m_connection, keycode, m_root, static_cast<uint16_t>(mask | locks));
    xcb_flush(m_connection);
}

} // namespace corvane
