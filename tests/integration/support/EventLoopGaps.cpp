#include "support/EventLoopGaps.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>

#include <algorithm>
#include <utility>

namespace corvane::testing {

SchedulerTimes schedulerTimes(const QString& schedstat) {
    QFile file(schedstat);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> fields = file.readAll().split(' ');
    if (fields.size() < 2)
        return {};
    return {fields[0].toLongLong(), fields[1].toLongLong()};
}

EventLoopGaps::EventLoopGaps(std::function<void()> onTurn, qint64 serverPid) {
    if (serverPid > 0)
        m_serverStat = QStringLiteral("/proc/%1/schedstat").arg(serverPid);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this, onTurn = std::move(onTurn)] {
        const qint64 elapsed = m_sinceLast.nsecsElapsed();
        m_sinceLast.restart();
        const SchedulerTimes now = schedulerTimes();
        const SchedulerTimes server = serverTimes();
        const qint64 waited = now.waitedNs - m_last.waitedNs;
        const qint64 slept = std::max<qint64>(0, elapsed - waited - (now.ranNs - m_last.ranNs));
        const qint64 serverWaited = std::min(slept, server.waitedNs - m_lastServer.waitedNs);
        const qint64 poolWaited = std::min(slept - serverWaited, poolWaitedSinceLast());
        const qint64 gapMs = (elapsed - waited - serverWaited - poolWaited) / 1000000;
        if (gapMs > m_worstMs)
            m_worst = {elapsed,      now.ranNs - m_last.ranNs,          waited,    slept,
                       serverWaited, server.ranNs - m_lastServer.ranNs, poolWaited};
        m_worstMs = std::max(m_worstMs, gapMs);
        m_last = now;
        m_lastServer = server;
        if (onTurn)
            onTurn();
    });
    m_last = schedulerTimes();
    m_lastServer = serverTimes();
    poolWaitedSinceLast();
    m_sinceLast.start();
    m_timer.start(5);
}

QString EventLoopGaps::worstParts() const {
    const auto ms = [](qint64 ns) { return QString::number(ns / 1000000); };
    return QStringLiteral("%1 ms in all: the main thread ran %2, stood ready %3 and slept %4; the X server "
                          "stood ready %5 of that sleep and ran %6; the shared pool's threads stood ready %7 "
                          "of the rest")
        .arg(ms(m_worst.elapsed), ms(m_worst.ran), ms(m_worst.waited), ms(m_worst.slept),
             ms(m_worst.serverWaited), ms(m_worst.serverRan), ms(m_worst.poolWaited));
}

qint64 EventLoopGaps::poolWaitedSinceLast() {
    // A thread that came since the last call stood ready, if at all, since then. One that ended
    // takes its last part with it, which only counts against the program.
    const QString main = QString::number(QCoreApplication::applicationPid());
    std::map<QString, Thread> now;
    qint64 waited = 0;
    for (const QString& id :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (id == main)
            continue;
        const QString task = QStringLiteral("/proc/self/task/") + id;
        const auto known = m_threads.find(id);
        Thread thread = known != m_threads.end() ? known->second : Thread{};
        if (known == m_threads.end()) {
            QFile name(task + QStringLiteral("/comm"));
            thread.pooled = name.open(QIODevice::ReadOnly) && name.readAll().startsWith("Thread (pooled)");
        }
        if (thread.pooled) {
            const qint64 total = schedulerTimes(task + QStringLiteral("/schedstat")).waitedNs;
            waited += std::max<qint64>(0, total - thread.waitedNs);
            thread.waitedNs = total;
        }
        now.emplace(id, thread);
    }
    m_threads = std::move(now);
    return waited;
}

SchedulerTimes EventLoopGaps::serverTimes() const {
    return m_serverStat.isEmpty() ? SchedulerTimes{} : schedulerTimes(m_serverStat);
}

} // namespace corvane::testing
