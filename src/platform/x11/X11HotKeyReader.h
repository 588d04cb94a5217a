#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

namespace corvane {

class X11EventThread;

// The hot keys' connection, read on a thread of its own: every event is kept, in order, for the
// main thread, which is told when some came. The thread also bounds the keyboard's holds. The press
// of a combination that holds the keyboard freezes it in the server, so that what is typed after
// it waits for the main thread to say where it goes, however late that thread gets to the press;
// a hold the main thread takes (an active grab of the keyboard) counts as the same hold. A hold
// still on `holdLimit` after it began is ended here: the keyboard is given back, and the keys
// still frozen go on to the window with the focus. The main thread hears of it through an item
// without event. Holds are numbered, so that word of one that ended never ends a later one.
class X11HotKeyReader {
public:
    static constexpr std::chrono::milliseconds holdLimit{5000};

    struct FreeEvent {
        void operator()(void* event) const { std::free(event); }
    };
    using Event = std::unique_ptr<xcb_generic_event_t, FreeEvent>;
    // An event, and the hold its press began (0: none); without event, the hold ended at its limit.
    struct Item {
        Event event;
        std::uint64_t hold = 0;
    };
    // An X key code and the real modifiers of a grab, without the lock ones.
    using Combination = std::pair<xcb_keycode_t, uint16_t>;

    // `arrived` runs on the reader's thread when items wait; the connection must outlive the reader.
    X11HotKeyReader(xcb_connection_t* connection, std::function<void()> arrived);
    // Stops the thread.
    ~X11HotKeyReader();
    X11HotKeyReader(const X11HotKeyReader&) = delete;
    X11HotKeyReader& operator=(const X11HotKeyReader&) = delete;

    // The grabbed combinations whose press freezes the keyboard, and the lock modifiers' mask.
    void setHoldingCombinations(std::set<Combination> combinations, uint16_t locks);
    // What came so far, in order, with what replies read on the calling thread left in xcb's queue.
    std::deque<Item> take();
    // After a reply read on another thread: the thread looks at xcb's queue again.
    void wake();
    // False when its thread could not be started.
    bool isRunning() const;

    // The main thread holds the keyboard: the hold on now (begun by a press), or a new one.
    std::uint64_t holdBegins();
    // The hold ends before the main thread gives the keyboard back (so that a hold begun right after
    // is bounded in its turn); false when it is over already (ended at its limit) or unknown.
    bool holdEnds(std::uint64_t hold);

private:
    // On the reader's thread.
    void drain();
    std::optional<std::chrono::milliseconds> untilLimit();
    // Moves xcb's events into `m_items`, noting the presses that begin a hold. Under `m_mutex`.
    void pullLocked(bool socket);

    xcb_connection_t* m_connection;
    std::function<void()> m_arrived;
    std::mutex m_mutex;
    std::deque<Item> m_items;
    std::set<Combination> m_holding;
    uint16_t m_locks = 0;
    // Key codes of holding combinations now down, so that a held key's repeats begin nothing.
    std::set<xcb_keycode_t> m_down;
    std::uint64_t m_lastHold = 0;
    // When the hold on now began; none while the keyboard is not held.
    std::optional<std::chrono::steady_clock::time_point> m_holdSince;
    // Last: stopped before the rest goes.
    std::unique_ptr<X11EventThread> m_thread;
};

} // namespace corvane
