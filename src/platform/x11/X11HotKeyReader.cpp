#include "platform/x11/X11HotKeyReader.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11EventThread.h"

namespace corvane {

X11HotKeyReader::X11HotKeyReader(xcb_connection_t* connection, std::function<void()> arrived)
    : m_connection(connection), m_arrived(std::move(arrived)) {
    m_thread = std::make_unique<X11EventThread>(
        m_connection, [this] { drain(); }, [this] { return untilLimit(); });
}

X11HotKeyReader::~X11HotKeyReader() {
    m_thread.reset();
}

void X11HotKeyReader::setHoldingCombinations(std::set<Combination> combinations, uint16_t locks) {
    const std::lock_guard lock(m_mutex);
    m_holding = std::move(combinations);
    m_locks = locks;
}

std::deque<X11HotKeyReader::Item> X11HotKeyReader::take() {
    const std::lock_guard lock(m_mutex);
    pullLocked(false);
    return std::exchange(m_items, {});
}

bool X11HotKeyReader::isRunning() const {
    return m_thread && m_thread->isRunning();
}

void X11HotKeyReader::wake() {
    if (m_thread)
        m_thread->wake();
}

std::uint64_t X11HotKeyReader::holdBegins() {
    const std::lock_guard lock(m_mutex);
    if (!m_holdSince) {
        m_holdSince = std::chrono::steady_clock::now();
        ++m_lastHold;
    }
    // The limit may now come sooner than the thread waits.
    wake();
    return m_lastHold;
}

bool X11HotKeyReader::holdEnds(std::uint64_t hold) {
    const std::lock_guard lock(m_mutex);
    if (!m_holdSince || hold != m_lastHold)
        return false;
    m_holdSince.reset();
    return true;
}

void X11HotKeyReader::pullLocked(bool socket) {
    // Taking the events and keeping them happen under one lock, so that they stay in order
    // whichever thread takes them.
    while (xcb_generic_event_t* raw =
               socket ? xcb_poll_for_event(m_connection) : xcb_poll_for_queued_event(m_connection)) {
        Item item{Event(raw)};
        const uint8_t type = x11EventType(*raw);
        const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(*raw);
        if (type == XCB_KEY_RELEASE) {
            m_down.erase(key.detail);
        } else if (type == XCB_KEY_PRESS) {
            const Combination combination{key.detail, static_cast<uint16_t>(key.state & 0xff & ~m_locks)};
            // The press of a holding combination froze the keyboard, unless the keyboard was held
            // already (the grab is not taken then) or it is a repeat.
            if (m_holding.count(combination) && !m_down.count(key.detail) && !m_holdSince) {
                m_holdSince = std::chrono::steady_clock::now();
                item.hold = ++m_lastHold;
            }
            if (m_holding.count(combination))
                m_down.insert(key.detail);
        }
        m_items.push_back(std::move(item));
    }
}

void X11HotKeyReader::drain() {
    bool any = false;
    {
        const std::lock_guard lock(m_mutex);
        pullLocked(true);
        if (m_holdSince && std::chrono::steady_clock::now() - *m_holdSince >= holdLimit) {
            // Nothing the main thread does holds the keyboard longer: the server sends what it
            // kept frozen on to the window with the focus.
            xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
            xcb_flush(m_connection);
            m_holdSince.reset();
            m_down.clear();
            m_items.push_back(Item{nullptr, m_lastHold});
        }
        any = !m_items.empty();
    }
    if (any && m_arrived)
        m_arrived();
}

std::optional<std::chrono::milliseconds> X11HotKeyReader::untilLimit() {
    const std::lock_guard lock(m_mutex);
    if (!m_holdSince)
        return std::nullopt;
    const auto left = *m_holdSince + holdLimit - std::chrono::steady_clock::now();
    // Rounded up: waking a little early would only wait again.
    return std::chrono::ceil<std::chrono::milliseconds>(left);
}

} // namespace corvane
