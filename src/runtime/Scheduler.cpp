#include "runtime/Scheduler.h"

namespace corvane {

struct SleepAwaiter::State {
    SleepResult result = SleepResult::finished;
    bool done = false;
    std::coroutine_handle<> handle;
    TimerHandle timer;
    TimerHandle cancelResume;
    CancellationToken token;
    int cancelCallback = 0;
};

SleepResult SleepAwaiter::await_resume() const noexcept {
    return m_state ? m_state->result : SleepResult::cancelled;
}

void SleepAwaiter::await_suspend(std::coroutine_handle<> handle) {
    auto state = std::make_shared<State>();
    state->handle = handle;
    state->token = m_token;
    m_state = state;
    Scheduler& scheduler = m_scheduler;

    state->timer = scheduler.schedule(m_delay, [state] {
        if (state->done)
            return;
        state->done = true;
        state->token.removeCallback(state->cancelCallback);
        state->result = SleepResult::finished;
        state->handle.resume();
    });
    // Cancellation can only happen on the main thread; the resume goes through the scheduler so
    // the canceller finishes its own work before the cancelled task continues.
    state->cancelCallback = m_token.onCancel([state, &scheduler] {
        if (state->done)
            return;
        state->done = true;
        state->timer.invalidate();
        state->result = SleepResult::cancelled;
        state->cancelResume = scheduler.schedule(Seconds(0), [state] { state->handle.resume(); });
    });
}

} // namespace corvane
