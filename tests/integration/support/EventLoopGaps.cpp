#include "support/EventLoopGaps.h"

#include <QByteArray>
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
        const qint64 gapMs = (elapsed - waited - serverWaited) / 1000000;
        if (gapMs > m_worstMs)
            m_worst = {elapsed,      now.ranNs - m_last.ranNs,         waited, slept,
                       serverWaited, server.ranNs - m_lastServer.ranNs};
        m_worstMs = std::max(m_worstMs, gapMs);
        m_last = now;
        m_lastServer = server;
        if (onTurn)
            onTurn();
    });
    m_last = schedulerTimes();
    m_lastServer = serverTimes();
    m_sinceLast.start();
    m_timer.start(5);
}

QString EventLoopGaps::worstParts() const {
    const auto ms = [](qint64 ns) { return QString::number(ns / 1000000); };
    return QStringLiteral("%1 ms in all: the main thread ran %2, stood ready %3 and slept %4; the X server "
                          "stood ready %5 of that sleep and ran %6")
        .arg(ms(m_worst.elapsed), ms(m_worst.ran), ms(m_worst.waited), ms(m_worst.slept),
             ms(m_worst.serverWaited), ms(m_worst.serverRan));
}

SchedulerTimes EventLoopGaps::serverTimes() const {
    return m_serverStat.isEmpty() ? SchedulerTimes{} : schedulerTimes(m_serverStat);
}

} // namespace corvane::testing
