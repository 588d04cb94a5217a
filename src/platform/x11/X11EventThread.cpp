#include "platform/x11/X11EventThread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace corvane {

X11EventThread::X11EventThread(xcb_connection_t* connection, std::function<void()> drain, NextWake nextWake)
    : m_connection(connection), m_drain(std::move(drain)), m_nextWake(std::move(nextWake)) {
    if (!m_connection || xcb_connection_has_error(m_connection))
        return;
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0)
        return;
    m_thread = std::thread([this] { run(); });
}

X11EventThread::~X11EventThread() {
    m_stopping = true;
    wake();
    if (m_thread.joinable())
        m_thread.join();
    if (m_wakeFd >= 0)
        close(m_wakeFd);
}

void X11EventThread::wake() {
    if (m_wakeFd < 0)
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
}

void X11EventThread::run() {
    pollfd watched[2] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    while (!m_stopping) {
        m_drain();
        // A connection the server closed stays readable, and nothing more comes on it.
        if (xcb_connection_has_error(m_connection))
            watched[0].fd = -1;
        int timeout = -1;
        if (m_nextWake)
            if (const std::optional<std::chrono::milliseconds> wait = m_nextWake())
                timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait->count(), 0));
        if (poll(watched, 2, timeout) > 0 && (watched[1].revents & POLLIN)) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t read = ::read(m_wakeFd, &count, sizeof count);
        }
    }
}

} // namespace corvane
