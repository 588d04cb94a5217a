#pragma once

#include "app/LaunchActions.h"

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <memory>

namespace corvane {

// Corvane runs once per user. The first instance holds a lock file and listens on a local
// socket in $XDG_RUNTIME_DIR (else in /tmp/corvane-<uid>, which it creates 0700); a later launch
// finds the lock taken, hands its launch actions over and exits. A folder of another user, or
// one others can write to, is refused rather than trusted.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString directory = defaultDirectory());
    ~SingleInstance() override;

    // True when this process is now the one instance and listens for hand-overs. False when
    // another instance runs, or when the folder was refused (`refusal` then says why).
    bool becomePrimary();
    // Why the folder cannot be used; empty unless `becomePrimary` refused it.
    const QString& refusal() const { return m_refusal; }
    // Hands `actions` to the running instance; false when it could not be reached.
    bool handOver(const LaunchActions& actions, int timeoutMs = 3000);
    bool sendReopen(int timeoutMs = 3000) { return handOver({}, timeoutMs); }

    static QString defaultDirectory();
    QString socketPath() const;

Q_SIGNALS:
    // Another launch: `actions` is empty for a plain reopen.
    void reopenRequested(const LaunchActions& actions);

private:
    // Creates the folder 0700 when missing; answers why it cannot be trusted, else nothing.
    std::optional<QString> checkDirectory() const;
    // The lock's holder is an instance of ours: this user's process, answering on the socket.
    bool holderIsOurs() const;
    void listen();

    QString m_directory;
    QString m_refusal;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace corvane
