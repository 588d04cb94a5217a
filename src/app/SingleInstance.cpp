#include "app/SingleInstance.h"

#include "runtime/Log.h"

#include <QDir>
#include <QLocalSocket>

#include <unistd.h>

namespace corvane {

namespace {
const QByteArray reopenMessage = QByteArrayLiteral("reopen\n");
}

SingleInstance::SingleInstance(QString directory) : m_directory(std::move(directory)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultDirectory() {
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QDir::tempPath() + QStringLiteral("/corvane-%1").arg(getuid());
    return runtime;
}

QString SingleInstance::socketPath() const {
    return m_directory + QStringLiteral("/corvane.socket");
}

bool SingleInstance::becomePrimary() {
    QDir().mkpath(m_directory);
    m_lock = std::make_unique<QLockFile>(m_directory + QStringLiteral("/corvane.lock"));
    // A lock left by a process that died is stale and taken over.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return false;
    }
    // The lock is ours, so a socket file still there belongs to a process that is gone.
    QLocalServer::removeServer(socketPath());
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        qCWarning(lcApp, "Could not listen for reopen requests: %s", qPrintable(m_server->errorString()));
        return true;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    if (socket->readLine() == reopenMessage)
                        Q_EMIT reopenRequested();
                }
            });
        }
    });
    return true;
}

QCoro::Task<bool> SingleInstance::sendReopen(Scheduler& scheduler, int timeoutMs) {
    // The running instance may still be starting; give it a moment to listen.
    for (int waited = 0; waited <= timeoutMs; waited += 100) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(100)) {
            socket.write(reopenMessage);
            const bool written = socket.waitForBytesWritten(timeoutMs);
            socket.disconnectFromServer();
            co_return written;
        }
        co_await scheduler.sleep(Seconds(0.1));
    }
    co_return false;
}

} // namespace corvane
