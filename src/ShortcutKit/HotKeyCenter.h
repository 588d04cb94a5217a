#pragma once

#include "ShortcutKit/EventType.h"
#include "platform/HotKeys.h"

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class QEvent;

namespace corvane {
class Keyboard;
}

namespace corvane::ShortcutKit {

class HotKey;
class LocalEventMonitor;

// The one place that takes key combinations from the desktop. It knows three modes:
//
//   isEnabled | a menu is open | mode     | combinations taken | key events of the application
//   false     | either         | disabled | none               | not watched
//   true      | no             | normal   | every hot key      | not watched
//   true      | yes            | menuOpen | none               | matched against the hot keys
//
// An open menu of our own holds the keyboard, so while one shows the centre gives every
// combination back and matches the key events the menu receives itself; the menu still gets
// them. Disabled (switched off, or a recorder records) it gives them back and delivers nothing,
// so the recorder sees the keys. Main thread only.
class HotKeyCenter final : public QObject {
    Q_OBJECT
public:
    enum class Mode { disabled, normal, menuOpen };

    HotKeyCenter(HotKeys& system, const Keyboard& keyboard);
    ~HotKeyCenter() override;

    // The id for a new hot key: one more than the last, never reused.
    int nextHotKeyId() { return ++m_lastHotKeyId; }

    // Takes the hot key's combination from the desktop and keeps a reference to the hot key;
    // false (keeping nothing) when the desktop refuses it. Outside the normal mode the
    // combination is given back at once and taken again when the mode becomes normal.
    bool registerHotKey(HotKey& hotKey);
    // Why the desktop refused the latest combination it refused.
    HotKeys::Refusal lastRefusal() const { return m_system.lastRefusal(); }
    // A hot key's teardown: gives its combination back and drops it.
    void forget(HotKey& hotKey);

    bool isEnabled() const { return m_isEnabled; }
    // The registry writes this only when it changes, then calls updateMode.
    void setEnabled(bool enabled) { m_isEnabled = enabled; }
    void updateMode();
    Mode mode() const { return m_mode; }
    bool isMenuOpen() const { return m_isMenuOpen; }
    // Hot keys handed over and still alive.
    int liveHotKeyCount() const { return static_cast<int>(m_hotKeys.size()); }

    // Called as menus of the application open and close.
    void menuDidBeginTracking();
    void menuDidEndTracking();

    // Matches a key event seen while a menu is open against the hot keys and runs the match's
    // action; false when nothing matched. Auto-repeat never fires a hot key. The function
    // modifier does not count for keys that carry it implicitly (arrows, function keys...).
    bool matchKeyEvent(qint64 keyCode, qint64 carbonModifiers, bool isRepeat, EventType kind);

    // Whether the desktop itself uses the combination (key code, Carbon modifiers). X keeps no
    // list of reserved shortcuts: the combination is asked for as a hot key would take it, and one
    // the server refuses is held by the window manager or another program of the desktop.
    bool isTakenBySystem(qint64 keyCode, qint64 carbonModifiers) const;
    // Whether the application's own key taps hold the combination's key with any modifiers (the
    // volume display's keys): the desktop can never give it to a hot key while they do.
    bool isHeldByOwnKeyTap(qint64 keyCode, qint64 carbonModifiers) const;

private:
    void handleHotKey(HotKeys::Id registration, EventType kind);
    void registerAllHotKeys();
    void unregisterAllHotKeys();
    void setRawKeyEventHandlingEnabled(bool enabled);
    bool handleMonitoredKeyEvent(QObject* receiver, QEvent* event);
    bool handleMenuEvent(QObject* receiver, QEvent* event);
    void menuVisibilityChanged(QObject* menu, bool visible);
    HotKey* find(int id) const;

    HotKeys& m_system;
    const Keyboard& m_keyboard;
    int m_lastHotKeyId = 0;
    // Every hot key handed to registerHotKey and still alive, by id. Hot keys remove themselves.
    std::map<int, HotKey*> m_hotKeys;
    bool m_isEnabled = true;
    bool m_isMenuOpen = false;
    bool m_isHotKeyEventHandlingEnabled = true;
    Mode m_mode = Mode::normal;
    std::set<QObject*> m_openMenus;
    std::unique_ptr<LocalEventMonitor> m_menuMonitor;
    std::unique_ptr<LocalEventMonitor> m_keyMonitor;
};

} // namespace corvane::ShortcutKit
