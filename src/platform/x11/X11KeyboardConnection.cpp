#include "platform/x11/X11KeyboardConnection.h"

#include "platform/ModifierBits.h"

#include <QSocketNotifier>

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

void X11KeyboardConnection::reloadKeymap() {
    if (m_connection)
        m_keymap = std::make_unique<X11Keymap>(m_connection);
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

} // namespace corvane
