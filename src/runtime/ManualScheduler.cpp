#include "runtime/ManualScheduler.h"

namespace corvane {

struct ManualScheduler::Entry : TimerHandle::Control {
    std::function<void()> fn;
    Instant interval{0};
    Seconds tolerance{0};
    bool repeating = false;
    bool active = true;
    void cancel() override {
        active = false;
        fn = nullptr;
    }
    bool isActive() const override { return active; }
};

ManualScheduler::ManualScheduler(QDateTime wallOrigin) : m_wallOrigin(std::move(wallOrigin)) {}

ManualScheduler::~ManualScheduler() {
    for (auto& [key, entry] : m_queue)
        entry->cancel();
}

QDateTime ManualScheduler::wallNow() const {
    return m_wallOrigin.addMSecs(std::chrono::duration_cast<std::chrono::milliseconds>(m_now).count());
}

void ManualScheduler::enqueue(const std::shared_ptr<Entry>& entry, Instant due) {
    m_queue.emplace(std::make_pair(due, m_sequence++), entry);
}

TimerHandle ManualScheduler::schedule(Seconds delay, std::function<void()> fn) {
    auto entry = std::make_shared<Entry>();
    entry->fn = std::move(fn);
    enqueue(entry, m_now + toInstant(delay));
    return TimerHandle(entry);
}

TimerHandle ManualScheduler::scheduleRepeating(Seconds interval, Seconds tolerance,
                                               std::function<void()> fn) {
    Seconds safe = sanitizedDelay(interval);
    if (safe.count() < minimumInterval)
        safe = Seconds(minimumInterval);
    auto entry = std::make_shared<Entry>();
    entry->fn = std::move(fn);
    entry->repeating = true;
    entry->interval = toInstant(safe);
    entry->tolerance = sanitizedDelay(tolerance);
    m_repeating.push_back(entry);
    enqueue(entry, m_now + entry->interval);
    return TimerHandle(entry);
}

void ManualScheduler::advance(Seconds duration) {
    const Instant target = m_now + toInstant(duration);
    while (!m_queue.empty()) {
        auto it = m_queue.begin();
        if (it->first.first > target)
            break;
        auto entry = it->second;
        const Instant due = it->first.first;
        m_queue.erase(it);
        if (!entry->active)
            continue;
        if (due > m_now)
            m_now = due;
        if (entry->repeating) {
            enqueue(entry, due + entry->interval);
            auto fn = entry->fn;
            fn();
        } else {
            auto fn = std::move(entry->fn);
            entry->active = false;
            fn();
        }
    }
    if (target > m_now)
        m_now = target;
}

int ManualScheduler::pendingTimers() const {
    int count = 0;
    for (const auto& [key, entry] : m_queue)
        count += entry->active ? 1 : 0;
    return count;
}

std::optional<Seconds> ManualScheduler::nextDue() const {
    for (const auto& [key, entry] : m_queue) {
        if (entry->active)
            return std::chrono::duration_cast<Seconds>(key.first - m_now);
    }
    return std::nullopt;
}

std::vector<std::pair<Seconds, Seconds>> ManualScheduler::repeatingTimers() const {
    std::vector<std::pair<Seconds, Seconds>> result;
    for (const auto& weak : m_repeating) {
        if (auto entry = weak.lock(); entry && entry->active)
            result.emplace_back(std::chrono::duration_cast<Seconds>(entry->interval), entry->tolerance);
    }
    return result;
}

} // namespace corvane
