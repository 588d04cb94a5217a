#include "platform/x11/X11FactsCache.h"

#include <algorithm>

namespace corvane {

bool X11FactsCache::readClients(X11Connection& c, Clock::time_point now) {
    const std::optional<X11Property> list =
        c.property(c.root(), c.atom(X11Atom::netClientList), XCB_ATOM_WINDOW);
    m_clientsByPid.clear();
    if (!list) {
        m_clientsReadAt.reset();
        return false;
    }
    m_clients = list->values32();
    m_pids.keepOnly(m_clients);
    const QSet<xcb_window_t> listed(m_clients.begin(), m_clients.end());
    m_legacyTitled.intersect(listed);
    const std::vector<int32_t> pids = m_pids.pidsOf(c, m_clients);
    for (size_t i = 0; i < m_clients.size(); ++i)
        m_clientsByPid[pids[i]].push_back(m_clients[i]);
    m_clientsReadAt = now;
    return true;
}

std::optional<std::vector<xcb_window_t>> X11FactsCache::clientsOf(X11Connection& c, int32_t pid) {
    const Clock::time_point now = Clock::now();
    if (!(m_clientsReadAt && isFresh(*m_clientsReadAt, now)) && !readClients(c, now))
        return std::nullopt;
    return m_clientsByPid.value(pid);
}

std::vector<int32_t> X11FactsCache::pidsOf(X11Connection& c, const std::vector<xcb_window_t>& windows) {
    return m_pids.pidsOf(c, windows);
}

std::optional<X11WindowFacts> X11FactsCache::facts(X11Connection& c, xcb_window_t window) {
    const Clock::time_point now = Clock::now();
    if (const auto found = m_facts.constFind(window);
        found != m_facts.constEnd() && isFresh(found->readAt, now))
        return found->facts.alive ? std::optional<X11WindowFacts>(found->facts) : std::nullopt;

    // A window of the client list just read is most likely one of a sweep: its siblings are
    // read along with it.
    std::vector<xcb_window_t> batch{window};
    const bool listed = m_clientsReadAt && isFresh(*m_clientsReadAt, now) &&
                        std::find(m_clients.begin(), m_clients.end(), window) != m_clients.end();
    if (listed) {
        for (xcb_window_t other : m_clients) {
            const auto found = m_facts.constFind(other);
            if (other != window && (found == m_facts.constEnd() || !isFresh(found->readAt, now)))
                batch.push_back(other);
        }
    }
    m_facts.removeIf(
        [&](QHash<xcb_window_t, Entry>::iterator entry) { return !isFresh(entry->readAt, now); });
    if (m_recent) {
        std::erase_if(batch, [&](xcb_window_t candidate) {
            std::optional<X11RecentFacts::Entry> offered = m_recent->take(candidate, now, freshFor);
            if (!offered)
                return false;
            if (offered->facts.legacyTitle)
                m_legacyTitled.insert(candidate);
            m_facts.insert(candidate, Entry{std::move(offered->facts), offered->readAt});
            return true;
        });
        if (batch.empty() || batch.front() != window) {
            const Entry& found = m_facts[window];
            return found.facts;
        }
    }
    std::vector<X11Facts> wanted(batch.size(), readFacts);
    for (size_t i = 0; i < batch.size(); ++i)
        if (m_legacyTitled.contains(batch[i]))
            wanted[i] |= X11Fact::legacyTitle;
    std::vector<X11WindowFacts> read = readWindowFacts(c, batch, wanted);
    std::optional<X11WindowFacts> answer;
    if (read.front().alive)
        answer = read.front();
    for (X11WindowFacts& facts : read) {
        const xcb_window_t id = facts.window;
        if (facts.legacyTitle)
            m_legacyTitled.insert(id);
        else if (facts.alive)
            m_legacyTitled.remove(id);
        m_facts.insert(id, Entry{std::move(facts), now});
    }
    return answer;
}

void X11FactsCache::invalidate() {
    if (m_recent)
        m_recent->forgetAll();
    m_clientsReadAt.reset();
    m_clientsByPid.clear();
    m_facts.clear();
}

void X11FactsCache::clear() {
    invalidate();
    m_clients.clear();
    m_pids.clear();
    m_legacyTitled.clear();
}

} // namespace corvane
