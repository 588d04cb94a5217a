#include "platform/fake/FakePanelWindowing.h"

#include <algorithm>

namespace corvane {

int FakePanelWindowing::requestCount(const QWindow* window) const {
    return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                          [window](const QPointer<QWindow>& w) { return w == window; }));
}

void FakePanelWindowing::setCompositing(bool compositing) {
    if (compositing == m_compositing)
        return;
    m_compositing = compositing;
    Q_EMIT compositingChanged(compositing);
}

} // namespace corvane
