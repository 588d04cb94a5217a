#include "platform/x11/X11LaterReplies.h"

#include <algorithm>
#include <cstdlib>

#include <xcb/xcbext.h>

namespace corvane {

namespace {

// A reply usually comes within a fraction of a millisecond; the ticks slow down for a server
// that is busy, up to this.
constexpr double firstTick = 0.001;
constexpr double longestTick = 0.016;

} // namespace

X11LaterReplies::X11LaterReplies(xcb_connection_t* connection, Scheduler& scheduler)
    : m_connection(connection), m_scheduler(scheduler) {}

void X11LaterReplies::add(unsigned int sequence, std::function<void(const void*)> handler) {
    m_pending.push_back({sequence, std::move(handler)});
    xcb_flush(m_connection);
    if (!m_tick.isValid())
        tickAfter(Seconds(firstTick));
}

void X11LaterReplies::tickAfter(Seconds wait) {
    m_tick = m_scheduler.schedule(wait, [this, wait] {
        poll();
        if (!m_pending.empty())
            tickAfter(Seconds(std::min(wait.count() * 2, longestTick)));
    });
}

void X11LaterReplies::poll() {
    // A handler that sends a request of its own adds it at the end, where this pass reaches it.
    if (m_polling || xcb_connection_has_error(m_connection))
        return;
    m_polling = true;
    for (auto pending = m_pending.begin(); pending != m_pending.end();) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(m_connection, pending->sequence, &reply, &error) == 0) {
            ++pending;
            continue;
        }
        std::free(error);
        const std::function<void(const void*)> handler = std::move(pending->handler);
        pending = m_pending.erase(pending);
        handler(reply);
        std::free(reply);
    }
    m_polling = false;
}

void X11LaterReplies::discardAll() {
    for (const Pending& pending : m_pending)
        xcb_discard_reply(m_connection, pending.sequence);
    m_pending.clear();
    m_tick.invalidate();
}

} // namespace corvane
