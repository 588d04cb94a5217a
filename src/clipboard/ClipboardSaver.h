#pragma once

#include "clipboard/ClipItem.h"
#include "clipboard/ClipboardStore.h"
#include "runtime/Executor.h"
#include "runtime/Scheduler.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace corvane {

// Writes the clipboard history to its store away from the main thread. A save waits for a
// second without changes, but never longer than `maxWait` after the first change it carries, so
// copying without pause still reaches the disk. Saves run on `worker` (the runtime's background
// executor) one at a time, in the order they were asked for, so an older list never lands after a
// newer one. Everything else that touches the store's folder waits for the saves before it.
class ClipboardSaver {
public:
    static constexpr Seconds delay{1.0};
    static constexpr Seconds maxWait{3.0};

    ClipboardSaver(Scheduler& scheduler, Executor& worker, ClipboardStore store);
    // Waits for the save in flight.
    ~ClipboardSaver();

    // Saves `snapshot` once the changes pause; a later call replaces it.
    void schedule(std::vector<ClipItem> snapshot);
    void cancel();
    bool hasPending() const { return m_timer.isValid(); }
    // Saves `snapshot` now, on the calling thread, once the saves before it are done.
    void saveNow(const std::vector<ClipItem>& snapshot);
    void waitForSaves();
    // Deletes the store once the saves before it are done.
    void removeAll();

    // After an index that could not be read, nothing is written over it for the rest of the run.
    void refuse() { m_refused = true; }
    bool refused() const { return m_refused; }

private:
    void post(std::vector<ClipItem> snapshot);
    void saveQueued();
    void save(const std::vector<ClipItem>& snapshot) const;

    Scheduler& m_scheduler;
    Executor& m_worker;
    ClipboardStore m_store;
    TimerHandle m_timer;
    std::optional<Instant> m_firstChange;
    std::vector<ClipItem> m_snapshot;
    bool m_refused = false;
    // Snapshots posted and not yet saved, oldest first, and whether a save is running: one runs
    // at a time even on a pool. Waiting on these rather than on the worker keeps a waiter from
    // hanging where the worker does not run (a child process after fork()).
    std::mutex m_mutex;
    std::condition_variable m_idle;
    std::deque<std::vector<ClipItem>> m_queued;
    bool m_saving = false;
};

} // namespace corvane
