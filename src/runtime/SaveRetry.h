#pragma once

#include "runtime/Scheduler.h"

#include <functional>

namespace corvane {

// The one rule of every store that writes the user's files when a write fails: what was not
// written stays in memory with its owner, the first failure of a run of them is told once (the
// owner tells it, in its own words, when `failed` says so), and the write is tried again every
// `interval` until one lands. A write of a newer change in between counts as a try.
class SaveRetry {
public:
    static constexpr Seconds interval{10.0};

    // `retry` writes again what is unsaved; it runs from `scheduler`, on the main thread.
    SaveRetry(Scheduler& scheduler, std::function<void()> retry);

    // A write failed: a retry waits, unless one already does. True when this failure begins a run,
    // the one time it is to be told.
    bool failed();
    // A write landed: nothing waits any more. True when it ends a run of failures.
    bool landed();
    bool failing() const { return m_failing; }

    // No retry waits any more (what was unsaved was dropped, or the process quits); a failure
    // already told is not told again.
    void cancel() { m_timer.invalidate(); }
    // As `cancel`, and the next failure begins a new run: nothing is left that one was about.
    void reset();

private:
    Scheduler& m_scheduler;
    std::function<void()> m_retry;
    TimerHandle m_timer;
    bool m_failing = false;
};

} // namespace corvane
