#include "platform/x11/X11HotKeys.h"

#include "platform/ModifierBits.h"

#include "platform/x11/X11Keymap.h"
#include "runtime/Log.h"

#include <algorithm>
#include <cstdlib>
#include <set>

namespace corvane {

namespace {
constexpr uint8_t badAccess = 10;

using FreeEvent = X11HotKeyReader::FreeEvent;
using Event = X11HotKeyReader::Event;

} // namespace

X11HotKeys::X11HotKeys(const QByteArray& displayName, std::shared_ptr<const X11TappedKeys> tapped)
    : m_keyboard(displayName, this, {}), m_tapped(std::move(tapped)) {
    if (!m_keyboard.raw() || xcb_connection_has_error(m_keyboard.raw()))
        return;
    m_reader = std::make_unique<X11HotKeyReader>(m_keyboard.raw(), [this] {
        // On the reader's thread: one call waiting on the main thread is enough.
        if (!m_readPosted.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_readPosted = false;
                    readEvents();
                },
                Qt::QueuedConnection);
    });
    // Unread, a hot key would never act, and a freezing one would hold the keyboard.
    if (!m_reader->isRunning())
        m_reader.reset();
}

X11HotKeys::~X11HotKeys() {
    // The reader stops first, while all it calls into is still there; closing the connection
    // then gives every grab back.
    m_reader.reset();
}

std::optional<uint8_t> X11HotKeys::grab(xcb_keycode_t keycode, uint16_t mask, bool freezes) {
    const std::optional<uint8_t> failure = m_keyboard.grabCombination(keycode, mask, freezes);
    takeQueuedEvents();
    return failure;
}

void X11HotKeys::publishHolding() {
    if (!m_reader || !m_keyboard.hasKeymap())
        return;
    std::set<X11HotKeyReader::Combination> holding;
    for (const auto& [id, entry] : m_grabs)
        if (entry.grabbed && entry.holds)
            holding.insert({entry.keycode, entry.mask});
    m_reader->setHoldingCombinations(
        std::move(holding), static_cast<uint16_t>(XCB_MOD_MASK_LOCK | m_keyboard.keymap().numLockMask()));
}

void X11HotKeys::setHoldsKeyboard(Id id, bool holds) {
    const auto found = m_grabs.find(id);
    if (found == m_grabs.end() || found->second.holds == holds)
        return;
    Grab& entry = found->second;
    entry.holds = holds;
    // The same client's grab of the same combination is replaced, with the new keyboard mode.
    if (entry.grabbed && m_keyboard.isConnected() && grab(entry.keycode, entry.mask, holds)) {
        entry.grabbed = false;
        qCWarning(lcApp, "Hot key %lld/0x%llx could not be taken again",
                  static_cast<long long>(entry.keyCode), static_cast<long long>(entry.modifiers));
    }
    publishHolding();
}

std::optional<HotKeys::Id> X11HotKeys::registerHotKey(qint64 keyCode, qint64 modifiers) {
    // The shortcut layer logs refusals in the words users see; here only the raw codes.
    m_lastRefusal = Refusal::failed;
    if (!m_reader || !m_keyboard.isConnected())
        return std::nullopt;
    const auto translated = m_keyboard.combinationOf(keyCode, modifiers);
    if (!translated) {
        qCDebug(lcApp, "Hot key %lld/0x%llx has no key on this keyboard", static_cast<long long>(keyCode),
                static_cast<long long>(modifiers));
        m_lastRefusal = Refusal::notOnThisKeyboard;
        return std::nullopt;
    }
    const auto [keycode, mask] = *translated;
    for (const auto& [id, existing] : m_grabs) {
        // Two stored combinations can come down to one X combination; only one can hold it.
        if (existing.grabbed && existing.keycode == keycode && existing.mask == mask)
            return std::nullopt;
    }
    if (const std::optional<uint8_t> failure = grab(keycode, mask, false)) {
        qCDebug(lcApp, "Hot key %lld/0x%llx could not be grabbed (X error %d)",
                static_cast<long long>(keyCode), static_cast<long long>(modifiers), *failure);
        if (*failure == badAccess)
            m_lastRefusal = m_tapped && m_tapped->contains(keycode) ? Refusal::heldByOwnKeyTap
                                                                    : Refusal::heldByAnotherProgram;
        return std::nullopt;
    }
    const Id id = ++m_lastId;
    m_grabs[id] = Grab{keyCode, modifiers, keycode, mask, true, false};
    return id;
}

bool X11HotKeys::isHeldElsewhere(qint64 keyCode, qint64 modifiers) {
    if (!m_keyboard.isConnected())
        return false;
    const auto translated = m_keyboard.combinationOf(keyCode, modifiers);
    if (!translated)
        return false;
    const auto [keycode, mask] = *translated;
    // A grab of our own would be taken over, not refused, and then given back with the probe.
    for (const auto& [id, existing] : m_grabs) {
        if (existing.grabbed && existing.keycode == keycode && existing.mask == mask)
            return false;
    }
    // The key taps hold their keys in every modifier state on a connection of their own: the
    // server refuses those too, but they are ours.
    if (m_tapped && m_tapped->contains(keycode))
        return false;
    const std::optional<uint8_t> failure = grab(keycode, mask, false);
    if (!failure) {
        m_keyboard.ungrabCombination(keycode, mask);
        return false;
    }
    return *failure == badAccess;
}

bool X11HotKeys::isHeldByOwnKeyTap(qint64 keyCode, qint64 modifiers) {
    if (!m_tapped || !m_keyboard.isConnected())
        return false;
    const auto translated = m_keyboard.combinationOf(keyCode, modifiers);
    return translated && m_tapped->contains(translated->first);
}

void X11HotKeys::unregisterHotKey(Id id) {
    const auto found = m_grabs.find(id);
    if (found == m_grabs.end())
        return;
    if (found->second.grabbed && m_keyboard.isConnected())
        m_keyboard.ungrabCombination(found->second.keycode, found->second.mask);
    m_grabs.erase(found);
    publishHolding();
    endHoldOnceHotKeysAreUp();
}

void X11HotKeys::endHoldOnceHotKeysAreUp() {
    // A hold that waits for a hot key to come up must not outlive the hot key it waits for.
    if (m_passTo != XCB_WINDOW_NONE && !isHotKeyDown() && !m_awaitingFocus)
        endHold();
}

void X11HotKeys::takeQueuedEvents() {
    // Replies to our own requests can pull events off the socket into xcb's queue, where the
    // reader's thread does not see them arrive.
    if (m_reader)
        m_reader->wake();
}

void X11HotKeys::readEvents() {
    if (!m_reader)
        return;
    settleHold();
    for (Item& item : m_reader->take())
        m_pending.push_back(std::move(item));
    while (!m_pending.empty()) {
        Item item = std::move(m_pending.front());
        m_pending.pop_front();
        handle(std::move(item));
    }
}

void X11HotKeys::handle(Item item) {
    if (!item.event) {
        holdCapped(item.hold);
        return;
    }
    const Event& event = item.event;
    const uint8_t type = x11EventType(*event);
    if (m_holding && (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE)) {
        const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(*event);
        if (!isHotKeyEvent(key)) {
            m_held.push_back(key);
            // Once released towards a window, the hold only waits for the hot key to come up.
            if (m_passTo != XCB_WINDOW_NONE) {
                sendHeldKeys(m_passTo);
                xcb_flush(m_keyboard.raw());
            }
            return;
        }
    }
    if (m_awaitingFocus && type == XCB_FOCUS_IN) {
        const auto& focus = reinterpret_cast<const xcb_focus_in_event_t&>(*event);
        if (focus.event == m_passTo && focus.detail != XCB_NOTIFY_DETAIL_POINTER) {
            m_awaitingFocus = false;
            endHoldOnceHotKeysAreUp();
        }
        return;
    }
    if (m_awaitingFocus && (type == XCB_UNMAP_NOTIFY || type == XCB_DESTROY_NOTIFY)) {
        // Gone without the keyboard: there is nothing more to wait for.
        if (reinterpret_cast<const xcb_unmap_notify_event_t&>(*event).window == m_passTo) {
            m_awaitingFocus = false;
            endHoldOnceHotKeysAreUp();
        }
        return;
    }
    if (type == XCB_KEY_PRESS) {
        const std::uint64_t hold = item.hold;
        if (hold) {
            // An action that waits in an event loop of its own (a dialog, say) lets it go on there.
            QMetaObject::invokeMethod(
                this, [this, hold] { letKeyboardGoOn(hold); }, Qt::QueuedConnection);
        }
        handlePress(reinterpret_cast<const xcb_key_press_event_t&>(*event));
        // The press froze the keyboard; whatever its action asked (a hold among it) is sent by now.
        if (hold)
            letKeyboardGoOn(hold);
    } else if (type == XCB_KEY_RELEASE) {
        const auto& release = reinterpret_cast<const xcb_key_release_event_t&>(*event);
        // Without detectable auto-repeat a repeat is a release and a press with the same time.
        if (!m_pending.empty() && m_pending.front().event) {
            const Event& next = m_pending.front().event;
            const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(*next);
            if (x11EventType(*next) == XCB_KEY_PRESS && press.detail == release.detail &&
                press.time == release.time) {
                // The repeat's press took the key's grab again, freezing the keyboard anew when it holds.
                const std::uint64_t hold = m_pending.front().hold;
                m_pending.pop_front();
                if (hold)
                    letKeyboardGoOn(hold);
                return;
            }
        }
        handleRelease(release);
    } else if (m_keyboard.isKeymapChange(type)) {
        keymapChanged();
    }
}

void X11HotKeys::handlePress(const xcb_key_press_event_t& event) {
    if (!m_keyboard.hasKeymap())
        return;
    const uint16_t locks = XCB_MOD_MASK_LOCK | m_keyboard.keymap().numLockMask();
    const uint16_t state = static_cast<uint16_t>(event.state & 0xff & ~locks);
    for (auto& [id, entry] : m_grabs) {
        if (!entry.grabbed || entry.keycode != event.detail || entry.mask != state)
            continue;
        // Held down: the repeats fold into the first press.
        if (entry.down)
            return;
        entry.down = true;
        const Id pressedId = id;
        Q_EMIT pressed(pressedId);
        return;
    }
}

void X11HotKeys::handleRelease(const xcb_key_release_event_t& event) {
    // The modifiers may already be up: the key alone tells which combination ends.
    for (auto& [id, entry] : m_grabs) {
        if (entry.keycode != event.detail || !entry.down)
            continue;
        entry.down = false;
        const Id releasedId = id;
        Q_EMIT released(releasedId);
        endHoldOnceHotKeysAreUp();
        return;
    }
}

void X11HotKeys::letKeyboardGoOn(std::uint64_t hold) {
    // A hold of ours keeps the keyboard (frozen until released towards a window); a hold the
    // reader ended at its limit, or one that went on into a hold of ours that is over, is let go.
    if (m_holding || !m_reader || !m_reader->holdEnds(hold))
        return;
    xcb_allow_events(m_keyboard.raw(), XCB_ALLOW_ASYNC_KEYBOARD, XCB_CURRENT_TIME);
    xcb_flush(m_keyboard.raw());
}

void X11HotKeys::holdCapped(std::uint64_t hold) {
    // The server gave the keyboard back: releases of keys down now go elsewhere.
    for (auto& [id, entry] : m_grabs)
        entry.down = false;
    if (!m_holding || hold != m_holdNumber)
        return;
    qCWarning(lcApp, "The keyboard was held for the product too long: given back to the program in front");
    settleHold();
    sendHeldKeys(m_passTo);
    if (m_watched != XCB_WINDOW_NONE) {
        const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(m_keyboard.raw(), m_watched, XCB_CW_EVENT_MASK, &none);
        m_watched = XCB_WINDOW_NONE;
    }
    xcb_flush(m_keyboard.raw());
    m_awaitingFocus = false;
    m_holding = false;
    m_passTo = XCB_WINDOW_NONE;
}

bool X11HotKeys::isHotKeyDown() const {
    return std::any_of(m_grabs.begin(), m_grabs.end(), [](const auto& grab) { return grab.second.down; });
}

bool X11HotKeys::isHotKeyEvent(const xcb_key_press_event_t& event) const {
    const bool press = x11EventType(reinterpret_cast<const xcb_generic_event_t&>(event)) == XCB_KEY_PRESS;
    const uint16_t locks =
        XCB_MOD_MASK_LOCK | (m_keyboard.hasKeymap() ? m_keyboard.keymap().numLockMask() : uint16_t(0));
    const uint16_t state = static_cast<uint16_t>(event.state & 0xff & ~locks);
    for (const auto& [id, entry] : m_grabs) {
        if (entry.keycode != event.detail)
            continue;
        if (press ? entry.grabbed && entry.mask == state : entry.down)
            return true;
    }
    return false;
}

void X11HotKeys::holdKeyboard() {
    if (m_holding || !m_reader || xcb_connection_has_error(m_keyboard.raw()))
        return;
    xcb_connection_t* c = m_keyboard.raw();
    // Within a hot key's press this turns its passive grab into one that outlasts the key. The
    // keyboard stays frozen, its keys kept in the server, until the hold is released towards a
    // window, or ends. The answer is read later: the caller shows a window meanwhile, and the
    // server takes the grab before anything that showing sets off.
    m_holdAsked =
        xcb_grab_keyboard(c, 0, m_keyboard.root(), XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC);
    xcb_flush(c);
    m_holdNumber = m_reader->holdBegins();
    m_holding = true;
}

void X11HotKeys::settleHold() {
    if (!m_holdAsked || !m_keyboard.raw())
        return;
    const xcb_grab_keyboard_cookie_t asked = *m_holdAsked;
    m_holdAsked.reset();
    const std::unique_ptr<xcb_grab_keyboard_reply_t, FreeEvent> reply(
        xcb_grab_keyboard_reply(m_keyboard.raw(), asked, nullptr));
    // Reading the answer may have taken events off the socket.
    takeQueuedEvents();
    if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS)
        return;
    m_holding = false;
    qCDebug(lcApp, "The keyboard could not be held (grab status %d)", reply ? reply->status : -1);
    // A hot key's press may still keep it frozen.
    letKeyboardGoOn(m_holdNumber);
}

void X11HotKeys::takeHeldEvents(std::vector<Item>& passed) {
    for (Item& item : m_reader->take())
        m_pending.push_back(std::move(item));
    while (!m_pending.empty()) {
        Item item = std::move(m_pending.front());
        m_pending.pop_front();
        const uint8_t type = item.event ? x11EventType(*item.event) : 0;
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(item.event.get());
        if ((type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) && !isHotKeyEvent(*key))
            m_held.push_back(*key);
        else
            passed.push_back(std::move(item));
    }
}

void X11HotKeys::sendHeldKeys(xcb_window_t window) {
    for (xcb_key_press_event_t key : m_held) {
        if (window == XCB_WINDOW_NONE)
            break;
        // As the server would have sent it, had the window had the keyboard.
        key.event = window;
        key.child = XCB_WINDOW_NONE;
        key.event_x = 0;
        key.event_y = 0;
        key.same_screen = 1;
        // No event mask: the event goes to the window's own client, which is us.
        xcb_send_event(m_keyboard.raw(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&key));
    }
    m_held.clear();
}

void X11HotKeys::releaseKeyboard(quint64 window) {
    settleHold();
    if (!m_holding)
        return;
    if (m_passTo != XCB_WINDOW_NONE) {
        // Asked again while keys go on to the window: its keyboard is waited for no longer, and
        // the hold ends as soon as the hot key is up.
        m_awaitingFocus = false;
        endHoldOnceHotKeysAreUp();
        return;
    }
    const auto target = static_cast<xcb_window_t>(window);
    // The keys kept frozen for the hold come to this connection from now on.
    xcb_allow_events(m_keyboard.raw(), XCB_ALLOW_ASYNC_KEYBOARD, XCB_CURRENT_TIME);
    // The key of the hot key that began the hold may still be down. Let go now and its release
    // goes to the window with the focus, never to us: the hot key would read as held and its next
    // press would be taken for a repeat. So the hold lasts until that key comes up, and what is
    // typed meanwhile goes straight on to the window. The same until the window has the keyboard:
    // the toolkit may count it active a moment before the window manager gives it the keyboard,
    // and a key typed in between would go to the program that had it.
    const bool focused = target != XCB_WINDOW_NONE && watchFocusOf(target);
    if (target != XCB_WINDOW_NONE && (isHotKeyDown() || !focused)) {
        std::vector<Item> passed;
        takeHeldEvents(passed);
        sendHeldKeys(target);
        xcb_flush(m_keyboard.raw());
        m_passTo = target;
        for (Item& item : passed)
            handle(std::move(item));
        return;
    }
    m_passTo = target;
    endHold();
    // Without a window to pass keys to, the hold ends at once; a hot key still down comes up
    // elsewhere, so it is taken as up now.
    for (auto& [id, entry] : m_grabs)
        entry.down = false;
}

bool X11HotKeys::watchFocusOf(xcb_window_t window) {
    xcb_connection_t* c = m_keyboard.raw();
    // Told first, asked after: a focus that comes in between is heard of all the same.
    const uint32_t mask = XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    m_watched = window;
    const xcb_get_window_attributes_cookie_t shown = xcb_get_window_attributes(c, window);
    const std::unique_ptr<xcb_get_input_focus_reply_t, FreeEvent> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    const std::unique_ptr<xcb_get_window_attributes_reply_t, FreeEvent> attributes(
        xcb_get_window_attributes_reply(c, shown, nullptr));
    // A window not on the screen (or gone) gets no keyboard to wait for.
    const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    m_awaitingFocus = viewable && (!focus || focus->focus != window);
    return !m_awaitingFocus;
}

void X11HotKeys::endHold() {
    xcb_connection_t* c = m_keyboard.raw();
    const xcb_window_t target = m_passTo;
    // What came before the release goes on first; hot keys among it act once the hold is over.
    std::vector<Item> passed;
    takeHeldEvents(passed);
    sendHeldKeys(target);
    // Over before the keyboard is given back, so that a hold a press begins right after is the
    // reader's to bound.
    m_reader->holdEnds(m_holdNumber);
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    // Keys typed before the server let go are still ours: a round trip brings them all.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    takeHeldEvents(passed);
    sendHeldKeys(target);
    if (m_watched != XCB_WINDOW_NONE) {
        const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(c, m_watched, XCB_CW_EVENT_MASK, &none);
        m_watched = XCB_WINDOW_NONE;
    }
    m_awaitingFocus = false;
    xcb_flush(c);
    m_holding = false;
    m_passTo = XCB_WINDOW_NONE;
    for (Item& item : passed)
        handle(std::move(item));
}

void X11HotKeys::keymapChanged() {
    if (m_regrabScheduled)
        return;
    m_regrabScheduled = true;
    // Keymap changes come in bursts: take the grabs over once they have settled.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_regrabScheduled = false;
            if (!m_keyboard.raw() || xcb_connection_has_error(m_keyboard.raw()))
                return;
            regrabAfterKeymapChange();
        },
        Qt::QueuedConnection);
}

void X11HotKeys::regrabAfterKeymapChange() {
    const auto [locksBefore, locksMoved] = m_keyboard.reloadKeymap();
    const bool connected = m_keyboard.isConnected();
    // Most notices change nothing for the hot keys: a second keyboard of the same layout typing
    // (or a program typing through XTest) announces itself with one. A grab whose key and
    // modifiers stay is kept, and so is its key's state: let go of for a moment, a press meanwhile
    // (the very one that made the notice, often) would reach the program in front.
    std::vector<Grab*> moved;
    for (auto& [id, entry] : m_grabs) {
        std::optional<std::pair<xcb_keycode_t, uint16_t>> translated;
        if (connected)
            translated = m_keyboard.combinationOf(entry.keyCode, entry.modifiers);
        if (entry.grabbed && !locksMoved && translated &&
            *translated == std::make_pair(entry.keycode, entry.mask))
            continue;
        // Every old grab goes before any new one is taken: keys may have swapped places.
        if (entry.grabbed)
            m_keyboard.ungrabCombination(entry.keycode, entry.mask, locksBefore);
        entry.grabbed = false;
        entry.down = false;
        if (!translated)
            continue;
        std::tie(entry.keycode, entry.mask) = *translated;
        moved.push_back(&entry);
    }
    for (Grab* entry : moved) {
        entry->grabbed = !grab(entry->keycode, entry->mask, entry->holds).has_value();
        if (!entry->grabbed)
            qCWarning(lcApp, "Hot key %lld/0x%llx could not be taken again after a keymap change",
                      static_cast<long long>(entry->keyCode), static_cast<long long>(entry->modifiers));
    }
    publishHolding();
    // A hot key that moved counts as up, the one a hold waits for included.
    endHoldOnceHotKeysAreUp();
}

} // namespace corvane
