#pragma once

#include <QDateTime>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>

namespace corvane {

// One window of another program. `windowID` is its identity.
struct WindowInfo {
    uint32_t windowID = 0;
    int32_t pid = 0;
    std::optional<QString> bundleID;
    QString appName;
    QString title;
    QRectF frame;
    bool isMinimized = false;
    bool isAppHidden = false;
    QDateTime lastActivated;
    bool isPinned = false;
    bool isActive = false;
    bool operator==(const WindowInfo&) const = default;
};

} // namespace corvane
