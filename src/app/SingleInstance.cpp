#include "app/SingleInstance.h"

#include "runtime/Log.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {
// How long a holder of the lock has to accept a connection before it counts as not ours.
constexpr int answerTimeoutMs = 500;
const QByteArray reopenLine = QByteArrayLiteral("reopen\n");
const QByteArray acceptedLine = QByteArrayLiteral("ok\n");
const QByteArray refusedPrefix = QByteArrayLiteral("refused ");
} // namespace

SingleInstance::SingleInstance(Scheduler& scheduler, QString directory)
    : m_scheduler(scheduler), m_directory(std::move(directory)) {}

SingleInstance::~SingleInstance() {
    // The server deletes the clients it still holds, and each one's going takes it off the held
    // list: the server goes while that list is still there.
    m_server.reset();
}

QString SingleInstance::defaultDirectory() {
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QDir::tempPath() + QStringLiteral("/corvane-%1").arg(getuid());
    return runtime;
}

QString SingleInstance::socketPath() const {
    return m_directory + QStringLiteral("/corvane.socket");
}

QString SingleInstance::lockPath() const {
    return m_directory + QStringLiteral("/corvane.lock");
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

namespace {
QString userName(uid_t uid) {
    passwd entry = {};
    passwd* found = nullptr;
    char buffer[1024];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QStringLiteral("%1 (uid %2)").arg(QString::fromLocal8Bit(found->pw_name)).arg(uid);
    return QStringLiteral("uid %1").arg(uid);
}
} // namespace

std::optional<QString> SingleInstance::checkLockPath() const {
    struct stat status = {};
    if (::lstat(QFile::encodeName(lockPath()).constData(), &status) != 0)
        return std::nullopt;
    // A folder (or a link, a socket...) where the lock belongs can never be locked: no instance
    // holds it, and none can start until it is gone.
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("%1 is not a file").arg(lockPath());
    // Another user's lock (left by a run under another account) is no instance of ours, and
    // taking it over would mean writing that user's file.
    if (status.st_uid != ::getuid())
        return QStringLiteral("%1 belongs to another user, %2").arg(lockPath(), userName(status.st_uid));
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
    std::optional<QString> refused = checkDirectory();
    if (!refused)
        refused = checkLockPath();
    if (refused) {
        m_refusal = *refused;
        return false;
    }
    m_lock = std::make_unique<QLockFile>(lockPath());
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
        // Held by a running instance is the one expected failure; any other is the file's own.
        if (m_lock->error() == QLockFile::PermissionError)
            m_refusal = QStringLiteral("%1 cannot be written").arg(lockPath());
        else if (m_lock->error() == QLockFile::UnknownError)
            m_refusal = QStringLiteral("%1 cannot be locked").arg(lockPath());
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
        while (QLocalSocket* socket = m_server->nextPendingConnection())
            hold(socket);
    });
}

void SingleInstance::hold(QLocalSocket* socket) {
    // One line is read, never more: a client that sends more is answered and dropped.
    socket->setReadBufferSize(longestRequest);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this, socket] { release(socket); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(*socket); });
    if (m_held.size() >= heldClientLimit) {
        // A flood is logged when it starts and then every thousand drops, not once per connection.
        if (m_dropped++ % 1000 == 0)
            qCWarning(lcApp, "More than %zu launch requests at once: the oldest are dropped (%llu so far)",
                      heldClientLimit, static_cast<unsigned long long>(m_dropped));
        QLocalSocket* oldest = m_held.front().socket;
        release(oldest);
        oldest->abort();
        oldest->deleteLater();
    }
    TimerHandle timer = m_scheduler.schedule(silentClientSeconds, [this, socket] {
        qCInfo(lcApp, "Dropped a launch request that sent nothing");
        release(socket);
        socket->abort();
        socket->deleteLater();
    });
    m_held.push_back({socket, std::move(timer)});
}

void SingleInstance::release(QLocalSocket* socket) {
    for (auto it = m_held.begin(); it != m_held.end(); ++it) {
        if (it->socket == socket) {
            it->timer.invalidate();
            disconnect(socket, nullptr, this, nullptr);
            m_held.erase(it);
            return;
        }
    }
}

void SingleInstance::answer(QLocalSocket& socket) {
    QByteArray reply;
    if (socket.canReadLine()) {
        const QByteArray line = socket.readLine(longestRequest + 1);
        if (line == reopenLine) {
            reply = acceptedLine;
            Q_EMIT reopenRequested();
        } else {
            qCWarning(lcApp, "Refused a launch request that is not one Corvane sends");
            reply = refusedPrefix + "the request is not one Corvane understands\n";
        }
    } else if (socket.bytesAvailable() >= longestRequest) {
        qCWarning(lcApp, "Dropped a launch request longer than %lld bytes",
                  static_cast<long long>(longestRequest));
        reply = refusedPrefix + "the request is longer than any Corvane sends\n";
    } else {
        return;
    }
    // One answer per connection: whatever else comes is not read, and the client no longer
    // counts against those held.
    release(&socket);
    socket.write(reply);
    socket.disconnectFromServer();
}

QCoro::Task<HandOver> SingleInstance::sendReopen(Scheduler& scheduler, int timeoutMs) {
    constexpr Seconds step{0.05};
    const int stepMs = 50;
    // The running instance may still be starting; give it a moment to listen.
    QLocalSocket socket;
    for (int waited = 0;; waited += stepMs) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(stepMs))
            break;
        if (waited >= timeoutMs)
            co_return HandOver{};
        co_await scheduler.sleep(step);
    }
    socket.write(reopenLine);
    // The answer is awaited on the event loop, which the running instance may share (in tests).
    for (int waited = 0; !socket.canReadLine(); waited += stepMs) {
        const bool closed = socket.state() == QLocalSocket::UnconnectedState;
        if (closed || waited >= timeoutMs)
            co_return HandOver{};
        co_await scheduler.sleep(step);
    }
    const QByteArray reply = socket.readLine(longestRequest).trimmed();
    socket.disconnectFromServer();
    if (reply + '\n' == acceptedLine)
        co_return HandOver{HandOver::Outcome::accepted, {}};
    co_return HandOver{
        HandOver::Outcome::refused,
        QString::fromUtf8(reply.startsWith(refusedPrefix) ? reply.mid(refusedPrefix.size()) : reply)};
}

} // namespace corvane
