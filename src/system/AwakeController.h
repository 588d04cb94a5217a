#pragma once

#include <QObject>

namespace corvane {

// Keeps the machine or the display awake, for a while or until switched off.
class AwakeController : public QObject {
    Q_OBJECT
public:
    // Re-enables lid sleep when an earlier run left it disabled.
    static void recoverLidSleep() {}
    // Adds or removes the "awake" status item.
    void updateStatusItem() {}
    // Restarts keeping awake with the current mode, keeping the remaining time.
    void reapplyMode() {}
    // Releases every power assertion and lid-sleep block this process holds.
    void releaseAll() { ++m_releaseCount; }
    int releaseCount() const { return m_releaseCount; }

private:
    int m_releaseCount = 0;
};

} // namespace corvane
