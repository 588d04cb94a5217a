#pragma once

#include "platform/KeyTaps.h"

#include <QByteArray>

#include "platform/x11/X11KeyboardConnection.h"
#include "platform/x11/X11TappedKeys.h"

#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <optional>
#include <set>

namespace corvane {

// Key taps as passive grabs of the keys on the root window, in every modifier state, over a
// connection of its own read by the event loop of the thread that made it. Keys are named by
// what they do (Qt::Key_VolumeUp), found on the keyboard through their X key symbols, and taken
// again on their new key codes when the keymap changes.
class X11KeyTaps final : public KeyTaps {
    Q_OBJECT
public:
    // `tapped`, when given, hears which key codes are grabbed at any time.
    explicit X11KeyTaps(const QByteArray& displayName = {}, std::shared_ptr<X11TappedKeys> tapped = {});
    ~X11KeyTaps() override;

    std::optional<Id> addKeyTap(const std::vector<Qt::Key>& keys, Callback callback) override;
    void removeKeyTap(Id id) override;

private:
    struct Tap {
        std::vector<Qt::Key> keys; // the ones taken
        Callback callback;
    };

    // Grabs every key code of the key unless already held; false when none could be taken.
    bool take(Qt::Key key);
    void release(Qt::Key key);
    bool isHeldByAnyTap(Qt::Key key) const;
    void readEvents();
    void handle(const xcb_key_press_event_t& event, bool pressed);
    void keymapChanged();
    // Tells `m_tapped` what is grabbed now.
    void publish();

    // Its own connection: closing it gives back what it grabbed.
    X11KeyboardConnection m_keyboard;
    std::map<Id, Tap> m_taps;
    // Which key each grabbed key code stands for, and which are down now.
    std::map<xcb_keycode_t, Qt::Key> m_grabbed;
    std::set<xcb_keycode_t> m_down;
    Id m_lastId = 0;
    std::shared_ptr<X11TappedKeys> m_tapped;
};

} // namespace corvane
