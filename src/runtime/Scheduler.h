#pragma once

#include "runtime/Cancellation.h"
#include "runtime/Time.h"

#include <QDateTime>

#include <coroutine>
#include <functional>
#include <memory>

namespace corvane {

// Cancels its timer when destroyed or invalidated. Move-only, like the timers it stands for.
// A handle dropped on the floor cancels its timer before it can fire, so none may go unused.
class [[nodiscard]] TimerHandle {
public:
    struct Control {
        virtual ~Control() = default;
        virtual void cancel() = 0;
        virtual bool isActive() const = 0;
    };

    TimerHandle() = default;
    explicit TimerHandle(std::shared_ptr<Control> control) : m_control(std::move(control)) {}
    TimerHandle(TimerHandle&&) noexcept = default;
    TimerHandle& operator=(TimerHandle&& other) noexcept {
        if (this != &other) {
            invalidate();
            m_control = std::move(other.m_control);
        }
        return *this;
    }
    TimerHandle(const TimerHandle&) = delete;
    TimerHandle& operator=(const TimerHandle&) = delete;
    ~TimerHandle() { invalidate(); }

    void invalidate() {
        if (m_control)
            m_control->cancel();
        m_control.reset();
    }
    bool isValid() const { return m_control && m_control->isActive(); }

private:
    std::shared_ptr<Control> m_control;
};

enum class SleepResult { finished, cancelled };

class Scheduler;

// co_await scheduler.sleep(seconds, token) answers finished or cancelled. A cancelled sleep
// resumes on the next turn of the scheduler, never inside the call that cancelled it.
class SleepAwaiter {
public:
    SleepAwaiter(Scheduler& scheduler, Seconds delay, CancellationToken token)
        : m_scheduler(scheduler), m_delay(delay), m_token(std::move(token)) {}
    bool await_ready() const noexcept { return m_token.isCancelled(); }
    void await_suspend(std::coroutine_handle<> handle);
    SleepResult await_resume() const noexcept;

private:
    struct State;
    Scheduler& m_scheduler;
    Seconds m_delay;
    CancellationToken m_token;
    std::shared_ptr<State> m_state;
};

// The one source of time for the product: the continuous clock, wall time, timers and sleeps.
// Everything runs on the main thread. QtScheduler drives the real event loop; ManualScheduler
// lets a test advance virtual time and fires what is due.
class Scheduler {
public:
    virtual ~Scheduler() = default;

    virtual Instant now() const = 0;
    virtual QDateTime wallNow() const = 0;

    // Runs `fn` once after `delay` (negative or non-finite delays run at the next turn).
    virtual TimerHandle schedule(Seconds delay, std::function<void()> fn) = 0;
    // Runs `fn` every `interval` until the handle goes. The tolerance lets the system coalesce
    // wake-ups; a non-positive or non-finite interval is raised to a small floor.
    virtual TimerHandle scheduleRepeating(Seconds interval, Seconds tolerance, std::function<void()> fn) = 0;

    SleepAwaiter sleep(Seconds delay, CancellationToken token = {}) {
        return SleepAwaiter(*this, delay, std::move(token));
    }

    Seconds elapsedSince(Instant earlier) const {
        return std::chrono::duration_cast<Seconds>(now() - earlier);
    }

    // The smallest repeat interval a timer accepts.
    static constexpr double minimumInterval = 0.001;
};

} // namespace corvane
