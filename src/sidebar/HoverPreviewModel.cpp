#include "sidebar/HoverPreviewModel.h"

namespace corvane {

void HoverPreviewModel::setWindow(std::optional<WindowInfo> window) {
    const bool changed = window != m_window;
    m_window = std::move(window);
    if (changed)
        Q_EMIT windowChanged();
}

} // namespace corvane
