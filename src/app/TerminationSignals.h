#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace corvane {

// SIGTERM and SIGINT (how a desktop ends its programs at logout) quit the event loop the same
// way the Quit item does, so the termination writes run and nothing pending is lost.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    TerminationSignals();
    ~TerminationSignals() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace corvane
