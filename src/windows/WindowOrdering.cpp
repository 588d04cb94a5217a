#include "core/Settings.h"
#include "windows/WindowService.h"

#include <algorithm>

namespace corvane {

void WindowService::rebuildVisible() {
    const std::set<uint32_t> pins(m_pinned.begin(), m_pinned.end());
    std::vector<WindowInfo> list = m_allWindows;
    for (WindowInfo& info : list)
        info.isPinned = pins.contains(info.windowID);

    if (m_settings.windowScope() == WindowScope::sidebarDisplay && displayFilter) {
        std::erase_if(
            list, [this](const WindowInfo& info) { return !info.isPinned && !displayFilter(info.frame); });
    }

    std::vector<WindowInfo> visible;
    for (uint32_t id : m_pinned) {
        const auto found = std::find_if(list.begin(), list.end(),
                                        [id](const WindowInfo& info) { return info.windowID == id; });
        if (found != list.end())
            visible.push_back(*found);
    }

    std::vector<WindowInfo> others;
    std::copy_if(list.begin(), list.end(), std::back_inserter(others),
                 [](const WindowInfo& info) { return !info.isPinned; });
    // Both orders are total, ties broken by the unique window id, so equal stamps never swap
    // places between rebuilds.
    if (m_settings.ordering() == WindowOrdering::stable) {
        const auto firstSeen = [this](uint32_t id) -> std::optional<QDateTime> {
            const auto found = m_firstSeen.find(id);
            if (found == m_firstSeen.end())
                return std::nullopt;
            return found->second;
        };
        std::sort(others.begin(), others.end(), [&](const WindowInfo& a, const WindowInfo& b) {
            const std::optional<QDateTime> seenA = firstSeen(a.windowID);
            const std::optional<QDateTime> seenB = firstSeen(b.windowID);
            // A window never seen sorts as if seen in the distant future.
            if (seenA.has_value() != seenB.has_value())
                return seenA.has_value();
            if (seenA && *seenA != *seenB)
                return *seenA < *seenB;
            return a.windowID < b.windowID;
        });
    } else {
        std::sort(others.begin(), others.end(), [](const WindowInfo& a, const WindowInfo& b) {
            if (a.lastActivated != b.lastActivated)
                return a.lastActivated > b.lastActivated;
            return a.windowID > b.windowID;
        });
    }
    visible.insert(visible.end(), others.begin(), others.end());
    setWindows(std::move(visible));
}

void WindowService::setWindows(std::vector<WindowInfo> list) {
    if (list == m_windows)
        return;
    m_windows = std::move(list);
    Q_EMIT windowsChanged();
}

void WindowService::setPinned(std::vector<uint32_t> list, bool notifyUnchanged) {
    if (list == m_pinned && !notifyUnchanged)
        return;
    m_pinned = std::move(list);
    Q_EMIT pinnedChanged();
}

void WindowService::togglePin(uint32_t windowID) {
    std::vector<uint32_t> pins = m_pinned;
    if (std::erase(pins, windowID) == 0)
        pins.push_back(windowID);
    setPinned(std::move(pins));
    rebuildVisible();
}

void WindowService::movePinned(uint32_t windowID, uint32_t beforeID) {
    if (windowID == beforeID)
        return;
    std::vector<uint32_t> pins = m_pinned;
    std::erase(pins, windowID);
    const auto target = std::find(pins.begin(), pins.end(), beforeID);
    pins.insert(target, windowID); // the end when the target is not pinned
    // A move tells the observers of the pins even when it leaves the order as it was.
    setPinned(std::move(pins), true);
    rebuildVisible();
}

std::optional<WindowInfo> WindowService::window(uint32_t windowID) const {
    const auto found = std::find_if(m_allWindows.begin(), m_allWindows.end(),
                                    [windowID](const WindowInfo& info) { return info.windowID == windowID; });
    if (found == m_allWindows.end())
        return std::nullopt;
    return *found;
}

std::optional<CGWindowRecord> WindowService::windowAt(const QPointF& point, int32_t skipPID) const {
    for (const CGWindowRecord& record : onScreenRecords()) {
        if (record.layer != 0 || record.pid == skipPID || !(record.alpha > 0))
            continue;
        // Half-open, so a point on the edge two side-by-side windows share belongs to one of them.
        const QRectF& b = record.bounds;
        if (point.x() >= b.left() && point.x() < b.right() && point.y() >= b.top() && point.y() < b.bottom())
            return record;
    }
    return std::nullopt;
}

void WindowService::setActivation(uint32_t windowID, const QDateTime& when) {
    m_activation[windowID] = when;
    for (WindowInfo& record : m_allWindows) {
        if (record.windowID == windowID)
            record.lastActivated = when;
    }
}

} // namespace corvane
