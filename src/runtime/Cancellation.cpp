#include "runtime/Cancellation.h"

#include <utility>

namespace corvane {

int CancellationToken::onCancel(std::function<void()> callback) const {
    if (!m_state)
        return 0;
    if (m_state->cancelled) {
        callback();
        return 0;
    }
    const int id = m_state->nextId++;
    m_state->callbacks.emplace_back(id, std::move(callback));
    return id;
}

void CancellationToken::removeCallback(int id) const {
    if (!m_state || id == 0)
        return;
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
    if (m_state->cancelled)
        return;
    m_state->cancelled = true;
    // Take each callback out just before it runs: one may remove another that has not run yet
    // (an object it destroys), and that one must then not run. Callbacks added meanwhile run at
    // once in onCancel. The state is held locally because a callback may destroy this source.
    const auto state = m_state;
    while (!state->callbacks.empty()) {
        auto callback = std::move(state->callbacks.front().second);
        state->callbacks.erase(state->callbacks.begin());
        callback();
    }
}

CancellationToken TaskSlot::renew() {
    // Install the newer request before cancelling the older: a cancel callback may itself renew
    // the slot, and the request it starts must not be dropped uncancelled. Such a renewal is the
    // newest one and cancels the request made here.
    auto older = std::exchange(m_source, std::make_unique<CancellationSource>());
    CancellationToken token = m_source->token();
    if (older)
        older->cancel();
    return token;
}

void TaskSlot::cancel() {
    if (m_source)
        m_source->cancel();
}

} // namespace corvane
