#pragma once

#include "runtime/Scheduler.h"

#include <QCoro/QCoroTask>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <deque>
#include <memory>

class QLocalSocket;

namespace corvane {

// How a reopen request to the running instance ended.
struct HandOver {
    enum class Outcome {
        // The running instance took the request.
        accepted,
        // The running instance refused the request: `reason`.
        refused,
        // Nothing answered in time: the running instance hangs, or is not there.
        unanswered,
    };
    Outcome outcome = Outcome::unanswered;
    QString reason;

    explicit operator bool() const { return outcome == Outcome::accepted; }
};

// Corvane runs once per user. The first instance holds a lock file and listens on a local
// socket in $XDG_RUNTIME_DIR (else in /tmp/corvane-<uid>, which it creates 0700); a later launch
// finds the lock taken, asks the running instance to reopen and exits: a reopen carries nothing,
// so a later launch's arguments stay with it. A folder of another user, or one others can write
// to, is refused rather than trusted, and so is a lock path that is not a file. Each connection
// carries one request line, "reopen", and gets one answer line: "ok", or "refused" and why; a
// client that sends more than `longestRequest` bytes without a line end is dropped, and so is
// one that has sent no whole line `silentClientSeconds` after connecting. At most
// `heldClientLimit` clients are held at once (the oldest goes first), so idle connections
// cannot use up the process's files. A lock file of another user is refused with its owner.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // How long a launch waits for the running instance, to listen and then to answer.
    static constexpr int answerSeconds = 3;

    // A hand-over sends its line as soon as it is connected: one that waits longer is not ours.
    static constexpr Seconds silentClientSeconds{2.0};
    static constexpr std::size_t heldClientLimit = 32;
    // The most read of a client before its line must have ended.
    static constexpr qsizetype longestRequest = 4096;

    // `scheduler` times the clients the running instance holds.
    explicit SingleInstance(Scheduler& scheduler, QString directory = defaultDirectory());
    ~SingleInstance() override;

    // True when this process is now the one instance and listens for hand-overs. False when
    // another instance runs, or when the folder was refused (`refusal` then says why).
    bool becomePrimary();
    // Why the folder cannot be used; empty unless `becomePrimary` refused it.
    const QString& refusal() const { return m_refusal; }
    // Asks the running instance to reopen and waits for its answer, on the scheduler's time:
    // `timeoutMs` for it to listen (it may still be starting) and as long again for the answer.
    QCoro::Task<HandOver> sendReopen(Scheduler& scheduler, int timeoutMs = answerSeconds * 1000);

    static QString defaultDirectory();
    QString socketPath() const;
    QString lockPath() const;

Q_SIGNALS:
    // Another launch of the program.
    void reopenRequested();

private:
    // Creates the folder 0700 when missing; answers why it cannot be trusted, else nothing.
    std::optional<QString> checkDirectory() const;
    // The lock's holder is an instance of ours: this user's process, answering on the socket.
    bool holderIsOurs() const;
    // Why the lock cannot be taken whoever holds it, else nothing.
    std::optional<QString> checkLockPath() const;
    void listen();
    void hold(QLocalSocket* socket);
    void answer(QLocalSocket& socket);
    void release(QLocalSocket* socket);

    Scheduler& m_scheduler;
    QString m_directory;
    QString m_refusal;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    // The clients not answered yet, oldest first, each with the timer that drops it.
    struct Held {
        QLocalSocket* socket;
        TimerHandle timer;
    };
    std::deque<Held> m_held;
    quint64 m_dropped = 0;
};

} // namespace corvane
