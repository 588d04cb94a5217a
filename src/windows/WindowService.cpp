#include "windows/WindowService.h"

namespace corvane {

QCoro::Task<void> WindowService::refresh(bool force) {
    Q_UNUSED(force);
    ++m_refreshCount;
    co_return;
}

} // namespace corvane
