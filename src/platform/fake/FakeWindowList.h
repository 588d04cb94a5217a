#pragma once

#include "platform/WindowList.h"

#include <mutex>

namespace corvane {

// A scripted window list: `entries` front to back, as a test sets them. Empty means the window
// manager listed nothing (or could not be read).
class FakeWindowList final : public WindowList {
public:
    std::vector<WindowListEntry> onScreenWindows() override;

    void setEntries(std::vector<WindowListEntry> entries);
    // Appends one normal window behind the others and returns it.
    WindowListEntry& add(uint32_t id, int32_t pid, const QRectF& bounds, const QString& title = {});
    std::vector<WindowListEntry>& entries() { return m_entries; }
    int readCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<WindowListEntry> m_entries;
    int m_reads = 0;
};

} // namespace corvane
