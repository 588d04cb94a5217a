#pragma once

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11RecentFacts.h"
#include "platform/x11/X11WindowFacts.h"
#include "platform/x11/X11WindowPids.h"

#include <QHash>
#include <QSet>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

// What the window access layer read of the client windows a moment ago. A sweep lists the
// windows of one process after another and then reads a handful of facts of every window; within
// a short bound those come from one read of the client list and one batched read of the listed
// windows, instead of a round trip per fact. Writes drop what was read, so a read after a write
// asks the server again.
class X11FactsCache {
public:
    using Clock = std::chrono::steady_clock;
    // Long enough for a sweep of a few hundred windows, short enough that nothing acts on a
    // stale answer.
    static constexpr Clock::duration freshFor = std::chrono::milliseconds(50);
    // What the window access layer reads of a window.
    static constexpr X11Facts readFacts = X11Facts(X11Fact::frame) | X11Fact::title | X11Fact::state;

    // Facts another reader took a moment ago serve before the server is asked; writes forget
    // them too.
    void share(std::shared_ptr<X11RecentFacts> recent) { m_recent = std::move(recent); }

    // The process's windows in client-list order, from a client list read again once older than
    // the bound; none when the list cannot be read.
    std::optional<std::vector<xcb_window_t>> clientsOf(X11Connection& connection, int32_t pid);
    // The process of each window (0 when unknown).
    std::vector<int32_t> pidsOf(X11Connection& connection, const std::vector<xcb_window_t>& windows);
    // The window's facts, none when it is gone. Read afresh once older than the bound, together
    // with every window of a fresh client list whose facts are not fresh.
    std::optional<X11WindowFacts> facts(X11Connection& connection, xcb_window_t window);

    // Forgets the client list and every fact; the processes behind windows stay known.
    void invalidate();
    // Forgets everything, for a new connection.
    void clear();

private:
    struct Entry {
        X11WindowFacts facts;
        Clock::time_point readAt;
    };
    static bool isFresh(Clock::time_point readAt, Clock::time_point now) { return now - readAt <= freshFor; }

    bool readClients(X11Connection& connection, Clock::time_point now);

    std::shared_ptr<X11RecentFacts> m_recent;
    X11WindowPids m_pids;
    std::vector<xcb_window_t> m_clients;
    QHash<int32_t, std::vector<xcb_window_t>> m_clientsByPid;
    std::optional<Clock::time_point> m_clientsReadAt;
    QHash<xcb_window_t, Entry> m_facts;
    // Windows without a UTF-8 title when last read: their legacy name is asked for at once.
    QSet<xcb_window_t> m_legacyTitled;
};

} // namespace corvane
