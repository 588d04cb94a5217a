#pragma once

#include "windows/WindowInfo.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <functional>
#include <vector>

namespace corvane {

class AppState;

// The ordered list of other programs' windows, merged from the window list and window reads.
class WindowService : public QObject {
    Q_OBJECT
public:
    explicit WindowService(AppState& state) : m_state(state) {}

    // Follows programs starting, quitting and being activated.
    void installAppObservers() { m_observing = true; }
    QCoro::Task<void> refresh(bool force = false);
    const std::vector<WindowInfo>& visible() const { return m_visible; }

    // Installed by the strip: whether a window frame is on the strip's display.
    std::function<bool(const QRectF&)> displayFilter;

    bool isObserving() const { return m_observing; }
    int refreshCount() const { return m_refreshCount; }

private:
    [[maybe_unused]] AppState& m_state;
    std::vector<WindowInfo> m_visible;
    bool m_observing = false;
    int m_refreshCount = 0;
};

} // namespace corvane
