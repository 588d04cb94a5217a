#include "platform/x11/X11RecentFacts.h"

namespace corvane {

uint64_t X11RecentFacts::generation() const {
    std::lock_guard lock(m_mutex);
    return m_generation;
}

void X11RecentFacts::offer(uint64_t generation, Clock::time_point readAt,
                           const std::vector<X11WindowFacts>& facts) {
    std::lock_guard lock(m_mutex);
    if (generation != m_generation)
        return;
    // Only the latest read is offered: older answers would be stale anyway.
    m_entries.clear();
    for (const X11WindowFacts& f : facts)
        if (f.alive)
            m_entries.insert(f.window, Entry{f, readAt});
}

std::optional<X11RecentFacts::Entry> X11RecentFacts::take(xcb_window_t window, Clock::time_point now,
                                                          Clock::duration freshFor) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.constFind(window);
    if (found == m_entries.constEnd() || now - found->readAt > freshFor || now < found->readAt)
        return std::nullopt;
    return *found;
}

void X11RecentFacts::forgetAll() {
    std::lock_guard lock(m_mutex);
    ++m_generation;
    m_entries.clear();
}

} // namespace corvane
