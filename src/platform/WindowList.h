#pragma once

#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace corvane {

// One entry of the window manager's list of windows on screen.
struct WindowListEntry {
    uint32_t id = 0;
    int32_t pid = 0;
    QString owner; // the owning program's name
    QString title;
    QRectF bounds; // the outer frame, decorations included
    int layer = 0; // 0 for normal, dialog and utility windows; panels, docks and desktops above 0
    double alpha = 1.0;
    bool operator==(const WindowListEntry&) const = default;
};

// The windows on screen (viewable, on the current desktop or on all), front to back. Callable
// from any thread; each call reads the window manager afresh.
class WindowList {
public:
    virtual ~WindowList() = default;
    virtual std::vector<WindowListEntry> onScreenWindows() = 0;
    // The active window's outer frame while the window manager shows it full-screen; none
    // otherwise (no active window, or one shown as usual).
    virtual std::optional<QRectF> activeFullscreenFrame() = 0;
    // `changed` runs on the main thread soon after the active window, the stacking order or any
    // window's state may have changed; an empty function stops it. One watcher at a time.
    virtual void watchActiveWindow(std::function<void()> changed) = 0;
    // A number that moves on whenever anything the list reads may have changed; none where that
    // cannot be told (then every reading may differ). Cheap: asks the window manager nothing.
    virtual std::optional<uint64_t> changeCount() { return std::nullopt; }
};

} // namespace corvane
