#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace corvane::testing {

// How long the main thread has waited to be run, in ms: the machine's load, not the program's.
qint64 waitedToRunMs();

// Watches the event loop from its construction: the longest gap between turns of a 5 ms timer.
// A gap counts the time the main thread worked or waited on anything, but not the time it stood
// ready while other processes had the processors: on a loaded machine with two cores that alone
// reaches hundreds of milliseconds. `onTurn` runs at each turn.
class EventLoopGaps {
public:
    explicit EventLoopGaps(std::function<void()> onTurn = {});
    void stop() { m_timer.stop(); }
    qint64 worstMs() const { return m_worstMs; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    qint64 m_lastWaited = 0;
    qint64 m_worstMs = 0;
};

} // namespace corvane::testing
