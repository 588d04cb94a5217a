#pragma once

#include "runtime/Scheduler.h"

#include <QCoro/QCoroTask>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <memory>

namespace corvane {

// Corvane runs once per user. The first instance holds a lock file and listens on a local
// socket in $XDG_RUNTIME_DIR; a later launch finds the lock taken, sends "reopen" and exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString directory = defaultDirectory());
    ~SingleInstance() override;

    // True when this process is now the one instance and listens for reopen requests.
    bool becomePrimary();
    // Tells the running instance to reopen, retrying on the scheduler's time while it may still be
    // starting; false when it could not be reached.
    QCoro::Task<bool> sendReopen(Scheduler& scheduler, int timeoutMs = 3000);

    static QString defaultDirectory();
    QString socketPath() const;

Q_SIGNALS:
    void reopenRequested();

private:
    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace corvane
