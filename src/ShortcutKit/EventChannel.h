#pragma once

#include <coroutine>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <utility>

namespace corvane::ShortcutKit {

// The buffer between a stream's producer and its one consumer. Elements wait in order until they
// are taken; with a capacity, only the newest ones are kept. `co_await channel.next()` gives the
// next element, or none once the channel is finished and empty. A consumer waiting in `next` is
// resumed inside `push` or `finish`. Main thread only.
template <typename T> class EventChannel {
    struct State {
        std::deque<T> buffer;
        std::optional<std::size_t> capacity;
        std::coroutine_handle<> waiter;
        bool finished = false;
    };

public:
    // No capacity buffers without limit.
    explicit EventChannel(std::optional<std::size_t> capacity = std::nullopt)
        : m_state(std::make_shared<State>()) {
        m_state->capacity = capacity;
    }

    void push(T value) {
        State& state = *m_state;
        if (state.finished)
            return;
        state.buffer.push_back(std::move(value));
        if (state.capacity)
            while (state.buffer.size() > *state.capacity)
                state.buffer.pop_front();
        wake();
    }
    // Ends the channel: what is buffered can still be taken, then `next` gives none.
    void finish() {
        m_state->finished = true;
        wake();
    }
    bool isFinished() const { return m_state->finished; }
    std::size_t pending() const { return m_state->buffer.size(); }
    std::optional<T> tryTake() {
        if (m_state->buffer.empty())
            return std::nullopt;
        T value = std::move(m_state->buffer.front());
        m_state->buffer.pop_front();
        return value;
    }

    class NextAwaiter {
    public:
        explicit NextAwaiter(std::shared_ptr<State> state) : m_state(std::move(state)) {}
        bool await_ready() const noexcept { return !m_state->buffer.empty() || m_state->finished; }
        void await_suspend(std::coroutine_handle<> handle) noexcept { m_state->waiter = handle; }
        std::optional<T> await_resume() {
            if (m_state->buffer.empty())
                return std::nullopt;
            T value = std::move(m_state->buffer.front());
            m_state->buffer.pop_front();
            return value;
        }

    private:
        std::shared_ptr<State> m_state;
    };
    NextAwaiter next() const { return NextAwaiter(m_state); }

private:
    void wake() {
        // The consumer may push or finish again from inside; hand the handle over first.
        if (auto waiter = std::exchange(m_state->waiter, nullptr))
            waiter.resume();
    }

    std::shared_ptr<State> m_state;
};

} // namespace corvane::ShortcutKit
