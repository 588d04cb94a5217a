#pragma once

#include "platform/Keyboard.h"

#include <QByteArray>

#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

#include <memory>

namespace corvane {

class X11Keymap;

// The keyboard of the X server, on a connection of its own. The keymap is read again after the
// server announces a change (a new keyboard, another layout map, a new modifier map); those
// announcements are collected at each question, so nothing needs to watch the connection.
class X11Keyboard final : public Keyboard {
public:
    explicit X11Keyboard(const QByteArray& displayName = {});
    ~X11Keyboard() override;

    std::optional<QString> keyText(qint64 keyCode) const override;
    std::optional<qint64> keyCode(quint32 nativeKeyCode) const override;
    // The server's repeat delay and interval, read afresh.
    KeyRepeat keyRepeat() const override;

private:
    // The current keymap, rebuilt when the server announced a change since the last question.
    const X11Keymap* keymap() const;

    X11Connection m_x;
    xcb_connection_t* m_connection = nullptr;
    mutable std::unique_ptr<X11Keymap> m_keymap;
};

} // namespace corvane
