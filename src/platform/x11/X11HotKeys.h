#pragma once

#include "platform/HotKeys.h"

#include <QByteArray>

#include "platform/x11/X11HotKeyReader.h"
#include "platform/x11/X11KeyboardConnection.h"
#include "platform/x11/X11TappedKeys.h"

#include <xcb/xcb.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

// Hot keys as passive key grabs on the root window, on a connection of its own read on a thread
// of its own (X11HotKeyReader); what it reads is handled on the main thread. Each combination is
// grabbed once per state of the lock modifiers (Caps Lock, Num Lock), so that it works whichever
// of them is on. A held key gives one press and one release: the server is asked to report
// auto-repeat as repeated presses, which are dropped. A combination another program holds (the
// server answers BadAccess) is a refused registration. When the keymap changes, a grab whose key
// code moved is made again on the new one; the others stay as they are, held keys included.
// A hot key's press leaves the keyboard to the program in front, whatever the main thread does,
// except for a hot key that holds the keyboard: its press freezes the keyboard (its grab is
// synchronous), so that the keys typed after it wait in the server however late the main thread
// gets to it, until the press has been handled. A hold of the keyboard is an active grab on the
// same connection, which keeps the keyboard frozen until it is released towards a window; taken
// while a hot key's press is handled, it takes the keys typed after it. Held keys are then sent on
// to the window that asked, as its own keyboard events; the hold ends only once the hot key that
// began it is up, so that its release comes to this connection. The reader's thread ends any hold
// at its limit, the main thread's answer or not.
class X11HotKeys final : public HotKeys {
    Q_OBJECT
public:
    // `tapped` names the key codes the product's key taps hold on their own connections.
    explicit X11HotKeys(const QByteArray& displayName = {}, std::shared_ptr<const X11TappedKeys> tapped = {});
    ~X11HotKeys() override;

    std::optional<Id> registerHotKey(qint64 keyCode, qint64 modifiers) override;
    void unregisterHotKey(Id id) override;
    // Grabs the combination in every state of the lock modifiers, as a registration would, and
    // gives it back at once: the server refuses the grab (BadAccess) when another client has it.
    // A key the product's key taps hold (in every modifier state) is the product's own.
    bool isHeldElsewhere(qint64 keyCode, qint64 modifiers) override;
    void setHoldsKeyboard(Id id, bool holds) override;
    bool isHeldByOwnKeyTap(qint64 keyCode, qint64 modifiers) override;
    void holdKeyboard() override;
    void releaseKeyboard(quint64 window) override;

private:
    using Item = X11HotKeyReader::Item;

    struct Grab {
        qint64 keyCode = 0;
        qint64 modifiers = 0;
        xcb_keycode_t keycode = 0;
        uint16_t mask = 0; // real modifiers, without the lock ones
        bool grabbed = false;
        bool down = false;
        // Its press freezes the keyboard until handled.
        bool holds = false;
    };

    // Grabs every lock combination (X11KeyboardConnection::grabCombination), then reads what
    // the checks queued. The X error code on failure.
    std::optional<uint8_t> grab(xcb_keycode_t keycode, uint16_t mask, bool freezes);
    // Tells the reader which combinations freeze the keyboard.
    void publishHolding();

    void readEvents();
    void takeQueuedEvents();
    void handle(Item item);
    // The reader ended the hold `hold` at its limit: the server has given the keyboard back.
    void holdCapped(std::uint64_t hold);
    void handlePress(const xcb_key_press_event_t& event);
    void handleRelease(const xcb_key_release_event_t& event);
    // Whether a key event is a hot key's own: the press of a grabbed combination, or the release
    // of a key a hot key's press holds down.
    bool isHotKeyEvent(const xcb_key_press_event_t& event) const;
    // Keeps what the keyboard sent during a hold; every other event waits in `passed`.
    void takeHeldEvents(std::vector<Item>& passed);
    void sendHeldKeys(xcb_window_t window);
    bool isHotKeyDown() const;
    // Lets the keyboard go on after a hot key's press froze it, beginning `hold`, unless a hold of
    // the product keeps it now or that hold is over.
    void letKeyboardGoOn(std::uint64_t hold);
    // Reads the server's answer to the hold, once: a refused hold ends here.
    void settleHold();
    // Hears from now on when `window` gets the keyboard or goes; whether there is nothing to wait
    // for: it has the keyboard now, or it is not on the screen to get it.
    bool watchFocusOf(xcb_window_t window);
    // Gives the keyboard back; held keys go to `m_passTo`, or nowhere when it is none.
    void endHold();
    void endHoldOnceHotKeysAreUp();
    void keymapChanged();
    void regrabAfterKeymapChange();

    // Its own connection: closing it gives back what it grabbed or selected.
    X11KeyboardConnection m_keyboard;
    // Stopped before the connection closes.
    std::unique_ptr<X11HotKeyReader> m_reader;
    std::atomic<bool> m_readPosted{false};
    // Read, not handled yet.
    std::deque<Item> m_pending;
    std::shared_ptr<const X11TappedKeys> m_tapped;
    std::map<Id, Grab> m_grabs;
    Id m_lastId = 0;
    bool m_regrabScheduled = false;
    bool m_holding = false;
    // The reader's number of the hold on now.
    std::uint64_t m_holdNumber = 0;
    // The hold asked for, its answer not read yet.
    std::optional<xcb_grab_keyboard_cookie_t> m_holdAsked;
    // Set once the hold is released towards a window while a hot key is still down, or before
    // the window manager has given that window the keyboard.
    xcb_window_t m_passTo = XCB_WINDOW_NONE;
    // The window whose focus is watched, and whether the hold still waits for it.
    xcb_window_t m_watched = XCB_WINDOW_NONE;
    bool m_awaitingFocus = false;
    std::vector<xcb_key_press_event_t> m_held;
};

} // namespace corvane
