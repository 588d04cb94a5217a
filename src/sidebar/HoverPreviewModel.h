#pragma once

#include "windows/WindowInfo.h"

#include <QObject>

#include <optional>

namespace corvane {

// What the hover preview card shows: one window, or nothing.
class HoverPreviewModel : public QObject {
    Q_OBJECT
public:
    const std::optional<WindowInfo>& window() const { return m_window; }
    // Notifies only when the value changes; the same, unchanged window again stays quiet.
    void setWindow(std::optional<WindowInfo> window);

Q_SIGNALS:
    void windowChanged();

private:
    std::optional<WindowInfo> m_window;
};

} // namespace corvane
