#pragma once

#include "platform/KeyGrabs.h"

#include "platform/x11/X11KeyboardConnection.h"

#include <QByteArray>
#include <QObject>

#include <xcb/xcb.h>

#include <map>
#include <vector>

namespace corvane {

// Key grabs as passive grabs on the root window, on a keyboard connection of their own: the
// server gives the raw events of a grabbed key to every other connection, so the event monitors
// still see these keys while no other program gets them. Each combination is grabbed in every
// state of the lock modifiers; the presses the grabs bring are read and dropped. A combination
// the server refuses (BadAccess: held by another program, or by the product's own hot keys on
// their connection) is left out. When the keymap changes, the grabs move to the keys' new codes.
class X11KeyGrabs final : public QObject, public KeyGrabs {
    Q_OBJECT
public:
    explicit X11KeyGrabs(const QByteArray& displayName = {});
    // Closing the connection gives every grab back.
    ~X11KeyGrabs() override;

    std::optional<Id> grabKeys(const std::vector<KeyCombination>& combinations) override;
    void releaseKeys(Id id) override;

private:
    struct Grab {
        std::vector<KeyCombination> requested;
        std::vector<std::pair<xcb_keycode_t, uint16_t>> taken;
    };
    void take(Grab& grab);
    void giveBack(Grab& grab);
    void readEvents();
    void keymapChanged();

    X11KeyboardConnection m_keyboard;
    std::map<Id, Grab> m_grabs;
    Id m_lastId = 0;
};

} // namespace corvane
