#include "runtime/FifoGate.h"

#include <algorithm>

namespace corvane {

GatePermit& GatePermit::operator=(GatePermit&& other) noexcept {
    if (this != &other) {
        release();
        m_gate = std::move(other.m_gate);
        other.m_gate.reset();
    }
    return *this;
}

void GatePermit::release() {
    if (auto gate = m_gate.lock())
        (*gate)->release();
    m_gate.reset();
}

FifoGate::FifoGate(int slots) : m_slots(std::max(1, slots)), m_self(std::make_shared<FifoGate*>(this)) {}

FifoGate::~FifoGate() {
    m_self.reset();
}

bool FifoGate::Awaiter::await_ready() noexcept {
    // Nobody may pass those already waiting, even when a slot is free.
    if (m_gate.m_inUse < m_gate.m_slots && m_gate.m_waiters.empty()) {
        ++m_gate.m_inUse;
        return true;
    }
    return false;
}

void FifoGate::release() {
    if (!m_waiters.empty()) {
        // The slot passes straight to the longest waiter; the count stays.
        auto next = m_waiters.front();
        m_waiters.pop_front();
        next.resume();
        return;
    }
    if (m_inUse > 0)
        --m_inUse;
}

} // namespace corvane
