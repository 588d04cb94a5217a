#include "clipboard/ClipboardSaver.h"

#include "runtime/Log.h"

namespace corvane {

ClipboardSaver::ClipboardSaver(Scheduler& scheduler, Executor& worker, ClipboardStore store)
    : m_scheduler(scheduler), m_worker(worker), m_store(std::move(store)), m_retry(scheduler, [this] {
          // A newer save already waiting writes the list anyway.
          if (!m_timer.isValid() && !m_refused)
              post(m_posted);
      }) {}

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
    m_retry.cancel();
    m_firstChange.reset();
    m_snapshot.clear();
    m_posted.clear();
    ++m_cancellations;
}

QString ClipboardSaver::failureMessage(const QString& error) const {
    return QStringLiteral("Could not save the clipboard history in %1: %2").arg(m_store.directory(), error);
}

void ClipboardSaver::saved(std::optional<ClipboardStore::SaveFailure> error) {
    if (!error) {
        if (m_retry.landed())
            qCInfo(lcApp, "The clipboard history is saved again");
        return;
    }
    // The list stays in memory and goes out again with the next change or the retry.
    if (m_retry.failed()) {
        qCWarning(lcApp, "%s", qUtf8Printable(failureMessage(error->message)));
        if (onFailure)
            onFailure(failureMessage(error->message));
    }
    // An index too large for the store stays so until the list changes: nothing is tried again
    // before that.
    if (error->tooLarge)
        m_retry.cancel();
}

void ClipboardSaver::post(std::vector<ClipItem> snapshot) {
    m_posted = snapshot;
    {
        std::lock_guard lock(m_mutex);
        m_queued.emplace_back(m_cancellations, std::move(snapshot));
        if (m_saving)
            return;
        m_saving = true;
    }
    m_worker.post([this] { saveQueued(); });
}

void ClipboardSaver::saveQueued() {
    for (;;) {
        std::vector<ClipItem> snapshot;
        uint64_t postedAfter = 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_queued.empty()) {
                m_saving = false;
                m_idle.notify_all();
                return;
            }
            postedAfter = m_queued.front().first;
            snapshot = std::move(m_queued.front().second);
            m_queued.pop_front();
        }
        std::optional<ClipboardStore::SaveFailure> error = m_store.save(snapshot);
        {
            std::lock_guard lock(m_mutex);
            m_lastFailed = error.has_value();
        }
        m_worker.deliver([this, alive = std::weak_ptr<int>(m_alive), postedAfter, error = std::move(error)] {
            if (alive.lock() && postedAfter == m_cancellations)
                saved(error);
        });
    }
}

void ClipboardSaver::saveNow(const std::vector<ClipItem>& snapshot) {
    cancel();
    waitForSaves();
    if (m_refused)
        return;
    // At quit nothing is tried after this: what did not land is lost, and the log says so.
    const auto error = m_store.save(snapshot);
    {
        std::lock_guard lock(m_mutex);
        m_lastFailed = error.has_value();
    }
    if (error)
        qCWarning(lcApp, "Quitting with a clipboard history that could not be saved: %s",
                  qUtf8Printable(failureMessage(error->message)));
    else
        m_retry.landed();
}

bool ClipboardSaver::hasUnsaved() {
    if (m_timer.isValid())
        return true;
    std::lock_guard lock(m_mutex);
    return m_saving || m_lastFailed;
}

void ClipboardSaver::waitForSaves() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_saving; });
}

void ClipboardSaver::removeAll() {
    cancel();
    waitForSaves();
    m_store.removeAll();
    // Nothing is left that a save could write over, nor to be written.
    m_refused = false;
    m_retry.reset();
    std::lock_guard lock(m_mutex);
    m_lastFailed = false;
}

} // namespace corvane
