#pragma once

#include "platform/WindowList.h"

#include <mutex>

namespace corvane {

// A scripted window list: `entries` front to back, as a test sets them. Empty means the window
// manager listed nothing (or could not be read).
class FakeWindowList final : public WindowList {
public:
    std::vector<WindowListEntry> onScreenWindows() override;
    std::optional<QRectF> activeFullscreenFrame() override { return fullscreenFrame; }
    void watchActiveWindow(std::function<void()> changed) override { m_watcher = std::move(changed); }
    std::optional<uint64_t> changeCount() override { return changes; }
    // The change count as a test sets it; none (the default) tells nothing.
    std::optional<uint64_t> changes;

    // The active window's full-screen frame, as a test sets it; `setActiveFullscreen` also tells
    // the watcher, as the window manager's notice would.
    std::optional<QRectF> fullscreenFrame;
    void setActiveFullscreen(std::optional<QRectF> frame) {
        fullscreenFrame = frame;
        announceChange();
    }

    // Tells the watcher, as the window manager's notice of a new active window or order would.
    void announceChange() {
        if (m_watcher)
            m_watcher();
    }

    void setEntries(std::vector<WindowListEntry> entries);
    // Appends one normal window behind the others and returns it.
    WindowListEntry& add(uint32_t id, int32_t pid, const QRectF& bounds, const QString& title = {});
    std::vector<WindowListEntry>& entries() { return m_entries; }
    int readCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<WindowListEntry> m_entries;
    int m_reads = 0;
    std::function<void()> m_watcher;
};

} // namespace corvane
