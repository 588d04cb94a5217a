#include "platform/fake/FakeWindowList.h"

namespace corvane {

std::vector<WindowListEntry> FakeWindowList::onScreenWindows() {
    std::lock_guard lock(m_mutex);
    ++m_reads;
    return m_entries;
}

void FakeWindowList::setEntries(std::vector<WindowListEntry> entries) {
    std::lock_guard lock(m_mutex);
    m_entries = std::move(entries);
}

WindowListEntry& FakeWindowList::add(uint32_t id, int32_t pid, const QRectF& bounds, const QString& title) {
    std::lock_guard lock(m_mutex);
    WindowListEntry entry;
    entry.id = id;
    entry.pid = pid;
    entry.owner = QStringLiteral("Program %1").arg(pid);
    entry.title = title;
    entry.bounds = bounds;
    return m_entries.emplace_back(std::move(entry));
}

int FakeWindowList::readCount() const {
    std::lock_guard lock(m_mutex);
    return m_reads;
}

} // namespace corvane
