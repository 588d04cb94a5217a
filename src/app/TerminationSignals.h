#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace corvane {

// SIGTERM, SIGINT and SIGHUP (how a desktop or a terminal ends its programs) quit the event loop
// the same way the Quit item does, so the termination writes run and nothing pending is lost.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    TerminationSignals();
    ~TerminationSignals() override;

    // Runs `flush` when the process exits without leaving the event loop, as the X11 platform
    // plugin does when the display connection breaks: the quit sequence never runs then. Cleared
    // by passing nothing, which `main` does before its objects go.
    static void setExitFlush(std::function<void()> flush);

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace corvane
