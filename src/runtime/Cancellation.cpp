#include "runtime/Cancellation.h"

namespace corvane {

int CancellationToken::onCancel(std::function<void()> callback) const {
    if (!m_state) return 0;
    if (m_state->cancelled) {
        callback();
        return 0;
    }
    const int id = m_state->nextId++;
    m_state->callbacks.emplace_back(id, std::move(callback));
    return id;
}

void CancellationToken::removeCallback(int id) const {
    if (!m_state || id == 0) return;
    auto& callbacks = m_state->callbacks;
    for (auto it = callbacks.begin(); it != callbacks.end(); ++it) {
        if (it->first == id) {
            callbacks.erase(it);
            return;
        }
    }
}

CancellationSource::CancellationSource() : m_state(std::make_shared<CancellationToken::State>()) {}

void CancellationSource::cancel() {
    if (m_state->cancelled) return;
    m_state->cancelled = true;
    // Callbacks may add or remove others while running; take them out first.
    auto callbacks = std::move(m_state->callbacks);
    m_state->callbacks.clear();
    for (auto& [id, callback] : callbacks) callback();
}

CancellationToken TaskSlot::renew() {
    cancel();
    m_source = std::make_unique<CancellationSource>();
    return m_source->token();
}

void TaskSlot::cancel() {
    if (m_source) m_source->cancel();
}

} // namespace corvane
