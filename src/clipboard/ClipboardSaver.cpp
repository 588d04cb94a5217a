#include "clipboard/ClipboardSaver.h"

#include "runtime/Log.h"

namespace corvane {

ClipboardSaver::ClipboardSaver(Scheduler& scheduler, Executor& worker, ClipboardStore store)
    : m_scheduler(scheduler), m_worker(worker), m_store(std::move(store)) {}

ClipboardSaver::~ClipboardSaver() {
    // What was posted still lands, and no save may outlive the saver it runs in.
    waitForSaves();
}

void ClipboardSaver::schedule(std::vector<ClipItem> snapshot) {
    if (m_refused)
        return;
    const Instant now = m_scheduler.now();
    if (!m_timer.isValid())
        m_firstChange = now;
    const double waited = std::chrono::duration_cast<Seconds>(now - *m_firstChange).count();
    const Seconds wait(std::max(0.0, std::min(delay.count(), maxWait.count() - waited)));
    m_snapshot = std::move(snapshot);
    m_timer = m_scheduler.schedule(wait, [this] {
        m_firstChange.reset();
        post(std::move(m_snapshot));
    });
}

void ClipboardSaver::cancel() {
    m_timer.invalidate();
    m_firstChange.reset();
    m_snapshot.clear();
}

void ClipboardSaver::save(const std::vector<ClipItem>& snapshot) const {
    if (const auto error = m_store.save(snapshot))
        qCWarning(lcApp, "Could not save the clipboard history in %s: %s",
                  qUtf8Printable(m_store.directory()), qUtf8Printable(*error));
}

void ClipboardSaver::post(std::vector<ClipItem> snapshot) {
    {
        std::lock_guard lock(m_mutex);
        m_queued.push_back(std::move(snapshot));
        if (m_saving)
            return;
        m_saving = true;
    }
    m_worker.post([this] { saveQueued(); });
}

void ClipboardSaver::saveQueued() {
    for (;;) {
        std::vector<ClipItem> snapshot;
        {
            std::lock_guard lock(m_mutex);
            if (m_queued.empty()) {
                m_saving = false;
                m_idle.notify_all();
                return;
            }
            snapshot = std::move(m_queued.front());
            m_queued.pop_front();
        }
        save(snapshot);
    }
}

void ClipboardSaver::saveNow(const std::vector<ClipItem>& snapshot) {
    cancel();
    waitForSaves();
    if (!m_refused)
        save(snapshot);
}

void ClipboardSaver::waitForSaves() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_saving; });
}

void ClipboardSaver::removeAll() {
    cancel();
    waitForSaves();
    m_store.removeAll();
    // Nothing is left that a save could write over.
    m_refused = false;
}

} // namespace corvane
