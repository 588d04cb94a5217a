#pragma once

#include "runtime/Scheduler.h"

#include <xcb/xcb.h>

#include <functional>
#include <list>

namespace corvane {

// Replies to requests on a connection another thread reads (the toolkit's), taken once they are
// in rather than waited for, so that the main thread never stands still for the server. Each is
// looked for at every `poll` (its owner calls it on every event) and at short ticks while any is
// outstanding; handlers run on the main thread in the order the requests went out, and may send
// requests of their own.
class X11LaterReplies {
public:
    X11LaterReplies(xcb_connection_t* connection, Scheduler& scheduler);
    X11LaterReplies(const X11LaterReplies&) = delete;
    X11LaterReplies& operator=(const X11LaterReplies&) = delete;

    // `handler` gets the reply to the request of `sequence`, a request with a reply sent checked
    // (its error comes with the reply); null when the request failed. Flushes the connection.
    template <typename Reply> void expect(unsigned int sequence, std::function<void(const Reply*)> handler) {
        add(sequence,
            [handler = std::move(handler)](const void* reply) { handler(static_cast<const Reply*>(reply)); });
    }
    // Runs the handlers whose replies are in.
    void poll();
    // Lets the server's replies to everything outstanding go unread. Call while the connection
    // is still open; no handler runs after.
    void discardAll();
    bool isEmpty() const { return m_pending.empty(); }

private:
    struct Pending {
        unsigned int sequence;
        std::function<void(const void*)> handler;
    };
    void add(unsigned int sequence, std::function<void(const void*)> handler);
    void tickAfter(Seconds wait);

    xcb_connection_t* m_connection;
    Scheduler& m_scheduler;
    std::list<Pending> m_pending;
    TimerHandle m_tick;
    bool m_polling = false;
};

} // namespace corvane
