#pragma once

#include "runtime/Executor.h"

#include <deque>

namespace corvane {

// An executor for tests. Inline mode runs work and its delivery at once, on the calling thread.
// Stepped mode keeps both until the test says: `runNextWork` runs one posted closure,
// `deliverAll` hands the finished results back, `drain` does both until nothing is left.
class ManualExecutor final : public Executor {
public:
    enum class Mode { inlineMode, stepped };
    explicit ManualExecutor(Mode mode = Mode::inlineMode) : m_mode(mode) {}

    void post(std::function<void()> work) override;
    void deliver(std::function<void()> onMainThread) override;

    void setMode(Mode mode) { m_mode = mode; }
    bool runNextWork();
    int deliverAll();
    void drain();
    int pendingWork() const { return static_cast<int>(m_work.size()); }
    int pendingDeliveries() const { return static_cast<int>(m_deliveries.size()); }
    int postedCount() const { return m_posted; }

private:
    Mode m_mode;
    std::deque<std::function<void()>> m_work;
    std::deque<std::function<void()>> m_deliveries;
    int m_posted = 0;
};

} // namespace corvane
