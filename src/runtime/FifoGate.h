#pragma once

#include <coroutine>
#include <deque>
#include <memory>

namespace corvane {

class FifoGate;

// One of the gate's slots; released when destroyed.
class GatePermit {
public:
    GatePermit() = default;
    explicit GatePermit(std::weak_ptr<FifoGate*> gate) : m_gate(std::move(gate)) {}
    GatePermit(GatePermit&& other) noexcept : m_gate(std::move(other.m_gate)) { other.m_gate.reset(); }
    GatePermit& operator=(GatePermit&& other) noexcept;
    GatePermit(const GatePermit&) = delete;
    GatePermit& operator=(const GatePermit&) = delete;
    ~GatePermit() { release(); }
    void release();

private:
    std::weak_ptr<FifoGate*> m_gate;
};

// A first-in first-out gate of N slots: at most N holders at a time, waiters let in in the order
// they arrived. Main thread only.
class FifoGate {
public:
    explicit FifoGate(int slots);
    ~FifoGate();

    class Awaiter {
    public:
        explicit Awaiter(FifoGate& gate) : m_gate(gate) {}
        bool await_ready() noexcept;
        void await_suspend(std::coroutine_handle<> handle) { m_gate.m_waiters.push_back(handle); }
        GatePermit await_resume() noexcept { return GatePermit(m_gate.m_self); }

    private:
        FifoGate& m_gate;
    };

    Awaiter acquire() { return Awaiter(*this); }
    int inUse() const { return m_inUse; }
    int waiting() const { return static_cast<int>(m_waiters.size()); }
    int slots() const { return m_slots; }

private:
    friend class GatePermit;
    void release();

    int m_slots;
    int m_inUse = 0;
    std::deque<std::coroutine_handle<>> m_waiters;
    std::shared_ptr<FifoGate*> m_self;
};

} // namespace corvane
