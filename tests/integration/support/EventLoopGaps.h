#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>

namespace corvane::testing {

// How long a thread has run and how long it stood ready to, in ns, from the scheduler's record
// ("/proc/self/schedstat" for this process's main thread).
struct SchedulerTimes {
    qint64 ranNs = 0;
    qint64 waitedNs = 0;
};
SchedulerTimes schedulerTimes(const QString& schedstat = QStringLiteral("/proc/self/schedstat"));

// Watches the event loop from its construction: the longest gap between turns of a 5 ms timer.
// A gap counts the time the main thread worked or waited on anything, but not the time it stood
// ready while other processes had the processors: on a loaded machine with two cores that alone
// reaches hundreds of milliseconds. Nor, given the X server's process, the time the server stood
// ready while the main thread slept, which is how long any X client waits for an answer from a
// server that other processes keep from the processors. (The server's waits while the main thread
// slept on something else come off too: on a loaded machine a stall of the program's own reads up
// to about a third short.) Nor the time this process's shared-pool threads stood ready while the main
// thread slept: Qt's painting hands the parts of a large fill to that pool and waits for them, so on
// a loaded machine the main thread waits on threads that only stand in the queue for a processor. A
// pool thread that waits on something else (a drawing's helper) is asleep, and counts.
class EventLoopGaps {
public:
    explicit EventLoopGaps(std::function<void()> onTurn = {}, qint64 serverPid = 0);
    void stop() { m_timer.stop(); }
    qint64 worstMs() const { return m_worstMs; }
    // What the worst gap was made of, for a failure's message.
    QString worstParts() const;

private:
    SchedulerTimes serverTimes() const;
    // The time the pool's threads stood ready since the last call, in ns.
    qint64 poolWaitedSinceLast();

    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    QString m_serverStat;
    SchedulerTimes m_last;
    SchedulerTimes m_lastServer;
    // Each known thread of this process: whether it is one of the pool's, and what it had waited.
    struct Thread {
        bool pooled = false;
        qint64 waitedNs = 0;
    };
    std::map<QString, Thread> m_threads;
    qint64 m_worstMs = 0;
    // The worst gap's parts, in ns: the whole, the main thread's running, standing ready and
    // sleeping, the server's standing ready (left out, at most the sleep) and running, and the pool's
    // standing ready (left out, at most what is left of the sleep).
    struct Parts {
        qint64 elapsed = 0;
        qint64 ran = 0;
        qint64 waited = 0;
        qint64 slept = 0;
        qint64 serverWaited = 0;
        qint64 serverRan = 0;
        qint64 poolWaited = 0;
    };
    Parts m_worst;
};

} // namespace corvane::testing
