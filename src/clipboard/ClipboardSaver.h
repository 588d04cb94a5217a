#pragma once

#include "clipboard/ClipItem.h"
#include "clipboard/ClipboardStore.h"
#include "runtime/Executor.h"
#include "runtime/SaveRetry.h"
#include "runtime/Scheduler.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace corvane {

// Writes the clipboard history to its store away from the main thread. A save waits for a
// second without changes, but never longer than `maxWait` after the first change it carries, so
// copying without pause still reaches the disk. Saves run on `worker` (the runtime's background
// executor) one at a time, in the order they were asked for, so an older list never lands after a
// newer one. Everything else that touches the store's folder waits for the saves before it. A save
// that fails keeps the list in memory and is tried again with the next change and every
// `retryInterval` until one lands (`SaveRetry`), except an index too large for the store, which
// waits for the next change; the first failure of a run of them goes to `onFailure`, once.
class ClipboardSaver {
public:
    static constexpr Seconds delay{1.0};
    static constexpr Seconds maxWait{3.0};
    static constexpr Seconds retryInterval = SaveRetry::interval;

    ClipboardSaver(Scheduler& scheduler, Executor& worker, ClipboardStore store);
    // Waits for the save in flight.
    ~ClipboardSaver();

    // Saves `snapshot` once the changes pause; a later call replaces it.
    void schedule(std::vector<ClipItem> snapshot);
    void cancel();
    bool hasPending() const { return m_timer.isValid(); }
    // Whether the last list asked for may not be on disk: a save waits, is queued or running, or
    // the last one that ran failed (its retry waiting, or its answer not yet back).
    bool hasUnsaved();
    // Saves `snapshot` now, on the calling thread, once the saves before it are done (at quit:
    // a failure is logged, not retried).
    void saveNow(const std::vector<ClipItem>& snapshot);
    void waitForSaves();
    // Deletes the store once the saves before it are done.
    void removeAll();

    // After an index that could not be read, nothing is written over it for the rest of the run.
    void refuse() { m_refused = true; }
    bool refused() const { return m_refused; }

    // Told on the main thread when a save fails after the last one landed: what and why.
    std::function<void(const QString& message)> onFailure;

private:
    void post(std::vector<ClipItem> snapshot);
    void saveQueued();
    // On the main thread, with what a posted save answered.
    void saved(std::optional<ClipboardStore::SaveFailure> error);
    QString failureMessage(const QString& error) const;

    Scheduler& m_scheduler;
    Executor& m_worker;
    ClipboardStore m_store;
    TimerHandle m_timer;
    std::optional<Instant> m_firstChange;
    std::vector<ClipItem> m_snapshot;
    // The last list posted: what a retry writes.
    std::vector<ClipItem> m_posted;
    SaveRetry m_retry;
    // Results of saves reach the main thread only while the saver lives.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    uint64_t m_cancellations = 0;
    bool m_refused = false;
    // Snapshots posted and not yet saved, oldest first, and whether a save is running: one runs
    // at a time even on a pool. Waiting on these rather than on the worker keeps a waiter from
    // hanging where the worker does not run (a child process after fork()).
    std::mutex m_mutex;
    std::condition_variable m_idle;
    // Each with the cancellation count at its posting: a save posted before a cancel reports
    // nothing (its failure would bring back what the cancel dropped).
    std::deque<std::pair<uint64_t, std::vector<ClipItem>>> m_queued;
    bool m_saving = false;
    // Whether the last save that ran did not land.
    bool m_lastFailed = false;
};

} // namespace corvane
