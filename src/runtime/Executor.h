#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

namespace corvane {

// Where work runs off the main thread. `post` runs a closure somewhere else (one worker thread
// for a serial queue, a pool for detached work); `deliver` brings a closure back to the main
// thread. Tests use ManualExecutor, which runs inline or one step at a time.
class Executor {
public:
    virtual ~Executor() = default;
    virtual void post(std::function<void()> work) = 0;
    virtual void deliver(std::function<void()> onMainThread) = 0;
};

namespace detail {
template <typename T> struct Slot {
    std::optional<T> value;
    T take() { return std::move(*value); }
};
template <> struct Slot<void> {
    void take() {}
};
} // namespace detail

// co_await runOn(queue, fn): runs fn on the executor and resumes the caller on the main thread
// with its result. fn must not touch main-thread state.
template <typename F> class RunOnAwaiter {
public:
    using Result = std::invoke_result_t<F>;

    RunOnAwaiter(Executor& executor, F fn) : m_executor(executor), m_fn(std::move(fn)) {}
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) {
        m_state = std::make_shared<State>();
        auto state = m_state;
        Executor* executor = &m_executor;
        // After post() the coroutine may already be resumed and this awaiter gone: touch only
        // locals from here on.
        executor->post([state, executor, fn = std::move(m_fn), handle]() mutable {
            try {
                if constexpr (std::is_void_v<Result>) {
                    fn();
                } else {
                    state->slot.value.emplace(fn());
                }
            } catch (...) {
                state->error = std::current_exception();
            }
            executor->deliver([handle] { handle.resume(); });
        });
    }
    Result await_resume() {
        if (m_state->error)
            std::rethrow_exception(m_state->error);
        return m_state->slot.take();
    }

private:
    struct State {
        detail::Slot<Result> slot;
        std::exception_ptr error;
    };
    Executor& m_executor;
    F m_fn;
    std::shared_ptr<State> m_state;
};

// GCC 12 destroys a closure written as a temporary inside a co_await expression twice (a double
// free once it captures a string or a shared pointer). A closure that owns such captures must be
// named first and passed by name (it is copied); a temporary is accepted only when it captures
// nothing that a double destruction could harm (numbers, pointers, references).
template <typename F> RunOnAwaiter<std::decay_t<F>> runOn(Executor& executor, F&& fn) {
    static_assert(std::is_lvalue_reference_v<F> || std::is_trivially_copyable_v<std::decay_t<F>>,
                  "runOn: name a closure that captures owning values, then pass it by name");
    return RunOnAwaiter<std::decay_t<F>>(executor, std::forward<F>(fn));
}

} // namespace corvane
