#include "app/TerminationSignals.h"

#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace corvane {
namespace {
int signalPipe[2] = {-1, -1};
// A hang-up (the terminal Corvane was started from closes, or a session manager's "hang up")
// ends the process as SIGTERM does, with every pending save written.
constexpr int endingSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::function<void()>& exitFlush() {
    static std::function<void()> flush;
    return flush;
}

void runExitFlush() {
    if (auto flush = std::exchange(exitFlush(), nullptr))
        flush();
}

void onSignal(int number) {
    const char byte = static_cast<char>(number);
    // Only async-signal-safe work here: hand the number to the event loop.
    [[maybe_unused]] auto written = ::write(signalPipe[0], &byte, 1);
}
} // namespace

TerminationSignals::TerminationSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(signalPipe[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(signalPipe[1], &byte, 1) == 1)
            Q_EMIT terminationRequested(byte);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : endingSignals)
        sigaction(number, &action, nullptr);
}

void TerminationSignals::setExitFlush(std::function<void()> flush) {
    // The holder is built before the handler is registered, so it is destroyed after the
    // handler has run (exit runs both in reverse order).
    std::function<void()>& holder = exitFlush();
    static const bool registered = std::atexit(runExitFlush) == 0;
    Q_UNUSED(registered);
    holder = std::move(flush);
}

TerminationSignals::~TerminationSignals() {
    for (int number : endingSignals)
        signal(number, SIG_DFL);
    m_notifier.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

} // namespace corvane
