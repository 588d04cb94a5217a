#pragma once

#include "ShortcutKit/EventType.h"
#include "ShortcutKit/Name.h"
#include "ShortcutKit/Shortcut.h"
#include "ShortcutKit/ShortcutStore.h"
#include "ShortcutKit/StreamTarget.h"
#include "platform/HotKeys.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace corvane {
class Keyboard;
class NotificationCenter;
class Scheduler;
class UserDefaults;
} // namespace corvane

namespace corvane::ShortcutKit {

class EventStream;
class HotKey;
class HotKeyCenter;
class RepeatingEventStream;
class DesktopShortcutConflicts;
class ShortcutConflicts;
struct MenuKeyEquivalent;

// The shortcut library's state: the named shortcuts in the store, the actions and streams bound
// to them, and one hot key for every distinct shortcut that a name with an action or a stream
// (or a bare-shortcut stream) currently holds. A press of that hot key runs the actions of every
// name whose stored shortcut equals it, reading the store at that moment. Changing a name's
// stored shortcut moves its hot key at once. One per application, owned by AppState.
// Main thread only.
class Registry final : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;

    Registry(UserDefaults& defaults, HotKeys& hotKeys, Keyboard& keyboard, NotificationCenter& notifications,
             Scheduler& scheduler);
    ~Registry() override;

    const Keyboard& keyboard() const { return m_keyboard; }
    HotKeyCenter& center() { return *m_center; }
    // What a recorded combination collides with on this desktop.
    const ShortcutConflicts& conflicts() const;
    // The application's menu items whose keys act wherever it has the keyboard: a recorder
    // refuses their combinations.
    void setMenuItems(std::vector<MenuKeyEquivalent> items);

    // --- Names and their storage ---

    // Seeds a name's default once: nothing happens when its key holds anything, false included.
    void seed(const Name& name) { m_store.storeInitialShortcutIfUnset(name); }
    StoredShortcutState storedShortcut(const Name& name) const { return m_store.storedShortcut(name); }
    std::optional<Json> storedObject(const Name& name) const { return m_store.storedObject(name); }
    // The stored shortcut; none when nothing is stored, the user removed it, or it is unreadable.
    std::optional<Shortcut> getShortcut(const Name& name) const { return storedShortcut(name).value(); }
    // A shortcut is written; none stores false for a name with a default (so the default does
    // not come back) and removes the key of a name without one.
    void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name);
    // Writes and announces even when the shortcut is already stored.
    void writeShortcut(const Shortcut& shortcut, const Name& name);
    // Nothing happens when false is already stored.
    void writeDisabled(const Name& name);
    // Nothing happens when nothing is stored.
    void removeStoredValue(const Name& name);
    // Stores each name's default, also over a stored false; a name without default loses its key.
    void reset(const std::vector<Name>& names);
    std::set<Name> storedNames() const { return m_store.storedNames(); }
    // Removes the key of every stored name.
    void clearAllStoredShortcuts();
    // "ShortcutKit_shortcutByNameDidChange" with the name, once the store and hot keys follow it.
    void postShortcutDidChange(const Name& name);

    // --- Actions ---

    // Binds an action; the same action added twice runs twice, in the order added.
    void onKeyDown(const Name& name, Action action);
    void onKeyUp(const Name& name, Action action);
    // The name's hot key holds the keyboard from its press until its action has run (see
    // HotKeys::setHoldsKeyboard), for an action that hands what is typed next to a window of
    // ours. Call before binding the name.
    void holdKeyboardOnPress(const Name& name) { m_holdingNames.insert(name); }
    void removeHandler(const Name& name);
    void removeAllHandlers();
    // A disabled name runs nothing and keeps no hot key of its own.
    void disable(const std::vector<Name>& names);
    void enable(const std::vector<Name>& names);

    // Switched off, no hot key is taken from the desktop and nothing runs.
    bool isEnabled() const { return m_isEnabled; }
    void setEnabled(bool enabled);
    // True while a recorder records: no hot key is taken, so the recorder sees every key.
    bool isPaused() const { return m_isPaused; }
    void setPaused(bool paused);

    // Enabled, bound, with a stored shortcut whose hot key is registered.
    bool isNameActive(const Name& name) const;
    // Not disabled and bound to an action or a stream.
    bool hasHandlers(const Name& name) const;
    // Why the desktop refused the hot key of the name's stored shortcut; none while the name
    // has no shortcut or no handlers, or its hot key is registered.
    std::optional<HotKeys::Refusal> refusal(const Name& name) const;
    // Whether a hot key for the shortcut is registered.
    bool isRegistered(const Shortcut& shortcut) const { return m_registeredHotKeys.count(shortcut) > 0; }

    void registerShortcutIfNeeded(const Name& name);
    void registerHotKey(const Shortcut& shortcut);
    void releaseHotKeyIfUnused(const Shortcut& shortcut, const std::optional<Name>& excluded = std::nullopt);
    bool isShortcutInUse(const Shortcut& shortcut, const std::optional<Name>& excluded = std::nullopt) const;
    // Runs what a press or release of the shortcut's hot key means.
    void handleEvent(EventType type, Shortcut shortcut);

    // --- Streams ---

    std::unique_ptr<EventStream> events(const Name& name);
    std::unique_ptr<EventStream> events(const Shortcut& shortcut);
    std::unique_ptr<EventStream> events(EventType type, const Name& name);
    std::unique_ptr<EventStream> events(EventType type, const Shortcut& shortcut);
    // Ticks at the keyboard's repeat rate, read when the stream is made.
    std::unique_ptr<RepeatingEventStream> repeatingKeyDownEvents(const Name& name);
    std::unique_ptr<RepeatingEventStream> repeatingKeyDownEvents(const Shortcut& shortcut);

    // A stream's closures, kept under a fresh id; registers the hot key the stream needs.
    quint64 addStream(const StreamTarget& target, Action onKeyDown, Action onKeyUp);
    // Drops them and releases the hot key when nothing else uses it.
    void removeStream(const StreamTarget& target, quint64 id);

Q_SIGNALS:
    // A hot key was refused, or one refused before was taken or let go.
    void registrationsChanged();

private:
    using Streams = std::map<quint64, Action>;
    template <typename Key> using StreamTable = std::map<Key, Streams>;

    // Releases the hot key of the name's current shortcut (when unused elsewhere), writes, moves
    // the hot key to the new value and announces the change.
    void rewrite(const Name& name, const std::function<void()>& write);
    bool hasNameEntries(const Name& name) const;
    std::set<Name> namesWithHandlers() const;
    bool isDisabled(const Name& name) const { return m_disabledNames.count(name) > 0; }
    void updateCenterEnabled();
    // Remembers the refusal and logs it in the words users see.
    void noteRefusal(const Shortcut& shortcut, HotKeys::Refusal refusal);
    void forgetRefusal(const Shortcut& shortcut);

    ShortcutStore m_store;
    Keyboard& m_keyboard;
    NotificationCenter& m_notifications;
    Scheduler& m_scheduler;
    std::unique_ptr<HotKeyCenter> m_center;
    std::unique_ptr<DesktopShortcutConflicts> m_conflicts;

    std::map<Name, std::vector<Action>> m_keyDownHandlers;
    std::map<Name, std::vector<Action>> m_keyUpHandlers;
    StreamTable<Name> m_keyDownNameStreams;
    StreamTable<Name> m_keyUpNameStreams;
    StreamTable<Shortcut> m_keyDownShortcutStreams;
    StreamTable<Shortcut> m_keyUpShortcutStreams;
    // Declared after the centre: the hot keys leave it before it goes.
    std::map<Shortcut, std::shared_ptr<HotKey>> m_registeredHotKeys;
    std::map<Shortcut, HotKeys::Refusal> m_refusals;
    std::set<Name> m_disabledNames;
    std::set<Name> m_holdingNames;
    bool m_isEnabled = true;
    bool m_isPaused = false;
    quint64 m_lastStreamId = 0;
};

} // namespace corvane::ShortcutKit
