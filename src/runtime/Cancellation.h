#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace corvane {

// A token that a task checks after every suspension. Cancelling is cooperative: the task decides
// what cancellation means at each of its waits.
class CancellationToken {
public:
    CancellationToken() = default; // never cancelled

    bool isCancelled() const { return m_state && m_state->cancelled; }
    bool canBeCancelled() const { return static_cast<bool>(m_state); }

    // Runs `callback` once when the token is cancelled (at once if it already is). The returned
    // id removes it again; callbacks run on the thread that cancels.
    int onCancel(std::function<void()> callback) const;
    void removeCallback(int id) const;

private:
    friend class CancellationSource;
    struct State {
        bool cancelled = false;
        int nextId = 1;
        std::vector<std::pair<int, std::function<void()>>> callbacks;
    };
    explicit CancellationToken(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    std::shared_ptr<State> m_state;
};

class CancellationSource {
public:
    CancellationSource();
    CancellationToken token() const { return CancellationToken(m_state); }
    void cancel();
    bool isCancelled() const { return m_state->cancelled; }

private:
    std::shared_ptr<CancellationToken::State> m_state;
};

// Holds the token of the one request in flight for a feature: starting a new request cancels
// the older one, the rule every "newer request wins" task follows.
class TaskSlot {
public:
    ~TaskSlot() { cancel(); }
    CancellationToken renew();
    void cancel();
    bool isActive() const { return m_source && !m_source->isCancelled(); }

private:
    std::unique_ptr<CancellationSource> m_source;
};

} // namespace corvane
