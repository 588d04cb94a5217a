#pragma once

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keymap.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <optional>

class QObject;
class QSocketNotifier;

namespace corvane {

// A connection of its own for grabbing keys, with the keymap it reads them by: closing it gives
// back every grab. It follows keymap changes, has a held key's repeats come as presses alone, and
// calls `onReadable`, when given, on the main thread when events wait (without it, the owner reads
// the events its own way). Main thread only.
class X11KeyboardConnection {
public:
    X11KeyboardConnection(const QByteArray& displayName, QObject* owner, std::function<void()> onReadable);
    ~X11KeyboardConnection();
    X11KeyboardConnection(const X11KeyboardConnection&) = delete;
    X11KeyboardConnection& operator=(const X11KeyboardConnection&) = delete;

    // A live connection with a readable keymap.
    bool isConnected() const;
    // Null when there is no display.
    xcb_connection_t* raw() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    // Only while connected.
    const X11Keymap& keymap() const { return *m_keymap; }
    bool hasKeymap() const { return m_keymap != nullptr; }

    // Whether an event of this type says the keymap changed; then call `reloadKeymap`.
    bool isKeymapChange(uint8_t type) const;
    // What a reload means for the grabs taken under the keymap before it: the NumLock bit they
    // were taken with, and whether that bit moved (or no keymap can be read now), so that every
    // grab must be taken again.
    struct Reload {
        uint16_t locksBefore = 0;
        bool locksMoved = true;
    };
    Reload reloadKeymap();
    // After reading: a connection the server closed stays readable, and nothing more comes on it.
    void stopIfClosed();

    // The stored modifier bits (HotKeyModifier) of an event's state, and the other way round.
    qint64 modifiersOf(uint16_t state) const;
    uint16_t maskOf(qint64 modifiers) const;

    // The X key code and modifier mask of a stored combination (a virtual key code and
    // HotKeyModifier bits); none when this keyboard has no such key, or for the function key,
    // which never reaches X. Only while connected.
    std::optional<std::pair<xcb_keycode_t, uint16_t>> combinationOf(qint64 keyCode, qint64 modifiers) const;
    // Grabs the combination on the root in every state of the lock modifiers; on any error gives
    // back what it took (another program's grabs stay) and answers the X error code. With
    // `freezes` the server holds every later key event back from the combination's press until
    // this connection lets the keyboard go on (`xcb_allow_events`) or grabs it itself.
    std::optional<uint8_t> grabCombination(xcb_keycode_t keycode, uint16_t mask, bool freezes = false);
    void ungrabCombination(xcb_keycode_t keycode, uint16_t mask);
    // The same for a combination taken under an earlier keymap, whose NumLock bit may differ.
    void ungrabCombination(xcb_keycode_t keycode, uint16_t mask, uint16_t numLockMask);

private:
    X11Connection m_x;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    std::optional<uint8_t> m_xkbEventBase;
    std::unique_ptr<X11Keymap> m_keymap;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace corvane
