#include "runtime/ManualExecutor.h"

namespace corvane {

void ManualExecutor::post(std::function<void()> work) {
    ++m_posted;
    if (m_mode == Mode::inlineMode) {
        work();
        return;
    }
    m_work.push_back(std::move(work));
}

void ManualExecutor::deliver(std::function<void()> onMainThread) {
    if (m_mode == Mode::inlineMode) {
        onMainThread();
        return;
    }
    m_deliveries.push_back(std::move(onMainThread));
}

bool ManualExecutor::runNextWork() {
    if (m_work.empty())
        return false;
    auto work = std::move(m_work.front());
    m_work.pop_front();
    work();
    return true;
}

int ManualExecutor::deliverAll() {
    int count = 0;
    while (!m_deliveries.empty()) {
        auto fn = std::move(m_deliveries.front());
        m_deliveries.pop_front();
        fn();
        ++count;
    }
    return count;
}

void ManualExecutor::drain() {
    while (!m_work.empty() || !m_deliveries.empty()) {
        while (runNextWork()) {
        }
        deliverAll();
    }
}

} // namespace corvane
