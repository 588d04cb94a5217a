#include "app/SingleInstance.h"

#include "runtime/Log.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {
// How long a holder of the lock has to accept a connection before it counts as not ours.
constexpr int answerTimeoutMs = 500;
} // namespace

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

std::optional<QString> SingleInstance::checkDirectory() const {
    const QByteArray path = QFile::encodeName(m_directory);
    if (::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return QStringLiteral("%1 cannot be created: %2")
            .arg(m_directory, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status = {};
    if (::lstat(path.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is not a folder").arg(m_directory);
    // Whoever owns the folder, or can write to it, could take the lock or the socket's place.
    if (status.st_uid != ::getuid())
        return QStringLiteral("%1 belongs to another user").arg(m_directory);
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("other users can write to %1").arg(m_directory);
    return std::nullopt;
}

bool SingleInstance::holderIsOurs() const {
    qint64 pid = 0;
    QString host, application;
    if (!m_lock->getLockInfo(&pid, &host, &application) || pid <= 0)
        return false;
    struct stat process = {};
    const QByteArray procPath = QByteArrayLiteral("/proc/") + QByteArray::number(pid);
    if (::stat(procPath.constData(), &process) != 0 || process.st_uid != ::getuid())
        return false;
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    return socket.waitForConnected(answerTimeoutMs);
}

bool SingleInstance::becomePrimary() {
    if (const auto refused = checkDirectory()) {
        m_refusal = *refused;
        return false;
    }
    m_lock = std::make_unique<QLockFile>(m_directory + QStringLiteral("/corvane.lock"));
    // A lock left by a process that died is stale and taken over.
    m_lock->setStaleLockTime(0);
    bool locked = m_lock->tryLock(0);
    // A lock whose process id now names another live program called corvane (another user's,
    // or an unrelated one) is stale too. A live holder keeps the file locked, so the removal
    // cannot take it from an instance that is really running.
    if (!locked && m_lock->error() == QLockFile::LockFailedError && !holderIsOurs()) {
        qCInfo(lcApp, "Taking over a lock whose holder is not a running Corvane of this user");
        locked = m_lock->removeStaleLockFile() && m_lock->tryLock(0);
    }
    if (!locked) {
        m_lock.reset();
        return false;
    }
    listen();
    return true;
}

void SingleInstance::listen() {
    // The lock is ours, so a socket file still there belongs to a process that is gone.
    QLocalServer::removeServer(socketPath());
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        qCWarning(lcApp, "Could not listen for reopen requests: %s", qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    if (const auto actions = LaunchActions::fromMessage(socket->readLine()))
                        Q_EMIT reopenRequested(*actions);
                }
            });
        }
    });
}

bool SingleInstance::handOver(const LaunchActions& actions, int timeoutMs) {
    // The running instance may still be starting; give it a moment to listen.
    for (int waited = 0; waited <= timeoutMs; waited += 100) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(100)) {
            socket.write(actions.message());
            const bool written = socket.waitForBytesWritten(timeoutMs);
            socket.disconnectFromServer();
            return written;
        }
        usleep(100 * 1000);
    }
    return false;
}

} // namespace corvane
