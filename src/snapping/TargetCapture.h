#pragma once

#include "snapping/SnapController.h"

#include <coroutine>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

// The window one wheel gesture acts on, looked up once when the ring comes up and awaited by
// every preview and by the release, however many wait and whether they start before or after
// the lookup ends. Share it through a shared pointer: `co_await capture->result()` keeps it
// alive while waiting. Main thread only.
class TargetCapture {
public:
    using Result = std::optional<SnapController::Target>;

    bool isFinished() const { return m_result.has_value(); }
    // Stores the lookup's answer and resumes every waiter, in the order they began to wait. Only
    // the first answer counts.
    void finish(Result result);

    class Awaiter {
    public:
        explicit Awaiter(std::shared_ptr<TargetCapture> capture) : m_capture(std::move(capture)) {}
        bool await_ready() const noexcept { return m_capture->isFinished(); }
        void await_suspend(std::coroutine_handle<> handle) { m_capture->m_waiters.push_back(handle); }
        Result await_resume() const { return *m_capture->m_result; }

    private:
        std::shared_ptr<TargetCapture> m_capture;
    };

    static Awaiter result(std::shared_ptr<TargetCapture> capture) { return Awaiter(std::move(capture)); }

private:
    std::optional<Result> m_result;
    std::vector<std::coroutine_handle<>> m_waiters;
};

} // namespace corvane
