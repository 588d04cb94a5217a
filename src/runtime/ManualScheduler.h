#pragma once

#include "runtime/Scheduler.h"

#include <map>
#include <optional>
#include <vector>

namespace corvane {

// Virtual time for tests: nothing fires until the test advances the clock, and then everything
// due fires in order of its due time (ties in order of scheduling), with `now` set to each
// timer's due time while it runs.
class ManualScheduler final : public Scheduler {
public:
    explicit ManualScheduler(QDateTime wallOrigin = QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    ~ManualScheduler() override;

    Instant now() const override { return m_now; }
    QDateTime wallNow() const override;
    TimerHandle schedule(Seconds delay, std::function<void()> fn) override;
    TimerHandle scheduleRepeating(Seconds interval, Seconds tolerance, std::function<void()> fn) override;

    // Moves time forward by `duration`, firing every timer that falls due on the way.
    void advance(Seconds duration);
    // Fires what is due now (timers scheduled with no delay), without moving time.
    void runDue() { advance(Seconds(0)); }

    int pendingTimers() const;
    // The delay until the next timer, if any.
    std::optional<Seconds> nextDue() const;
    // The tolerance and interval of the repeating timers that are live, for tests that check how
    // a feature set up its timer.
    std::vector<std::pair<Seconds, Seconds>> repeatingTimers() const;

private:
    struct Entry;
    friend struct ManualControl;
    std::multimap<std::pair<Instant, long long>, std::shared_ptr<Entry>> m_queue;
    Instant m_now{0};
    long long m_sequence = 0;
    QDateTime m_wallOrigin;
    std::vector<std::weak_ptr<Entry>> m_repeating;
    void enqueue(const std::shared_ptr<Entry>& entry, Instant due);
};

} // namespace corvane
