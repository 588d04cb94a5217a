#include "support/EventLoopGaps.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <utility>

namespace corvane::testing {

qint64 waitedToRunMs() {
    QFile schedstat(QStringLiteral("/proc/self/schedstat"));
    if (!schedstat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = schedstat.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() / 1000000 : 0;
}

EventLoopGaps::EventLoopGaps(std::function<void()> onTurn) {
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this, onTurn = std::move(onTurn)] {
        const qint64 waited = waitedToRunMs();
        m_worstMs = std::max(m_worstMs, m_sinceLast.restart() - (waited - m_lastWaited));
        m_lastWaited = waited;
        if (onTurn)
            onTurn();
    });
    m_lastWaited = waitedToRunMs();
    m_sinceLast.start();
    m_timer.start(5);
}

} // namespace corvane::testing
