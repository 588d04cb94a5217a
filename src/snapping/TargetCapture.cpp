#include "snapping/TargetCapture.h"

namespace corvane {

void TargetCapture::finish(Result result) {
    if (m_result)
        return;
    m_result = std::move(result);
    std::vector<std::coroutine_handle<>> waiters;
    waiters.swap(m_waiters);
    for (std::coroutine_handle<> waiter : waiters)
        waiter.resume();
}

} // namespace corvane
