#pragma once

#include "platform/x11/X11WindowFacts.h"

#include <QHash>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace corvane {

// Window facts one reader took a moment ago, offered to the others. A refresh reads the window
// list and then sweeps the same windows through the window access layer, each on its own
// connection and thread; the sweep takes what the list has just read instead of asking the
// server again. A write anywhere forgets everything, including what a read that was in flight
// at the time brings back later.
class X11RecentFacts {
public:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        X11WindowFacts facts;
        Clock::time_point readAt;
    };

    // Taken before a read; the read's facts are kept only if nothing was written since.
    uint64_t generation() const;
    void offer(uint64_t generation, Clock::time_point readAt, const std::vector<X11WindowFacts>& facts);
    // The window's facts if they were read no longer than `freshFor` before `now`.
    std::optional<Entry> take(xcb_window_t window, Clock::time_point now, Clock::duration freshFor) const;
    void forgetAll();

private:
    mutable std::mutex m_mutex;
    uint64_t m_generation = 0;
    QHash<xcb_window_t, Entry> m_entries;
};

} // namespace corvane
