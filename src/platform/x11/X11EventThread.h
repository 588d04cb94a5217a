#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace corvane {

// Reads a connection's events on a thread of its own, so that what they ask of the server is
// done however busy the main thread is. `drain` runs on that thread whenever events may wait: it
// takes them (`xcb_poll_for_event`) itself. After it, `nextWake`, when given, says how long the
// thread may wait before it calls `drain` again with nothing come (none: until something comes).
// Requests may still be sent on the connection from other threads (xcb serialises them), but a
// reply read there can take events off the socket into xcb's queue, where the thread does not see
// them arrive: call `wake` after such a reply.
class X11EventThread {
public:
    using NextWake = std::function<std::optional<std::chrono::milliseconds>()>;

    X11EventThread(xcb_connection_t* connection, std::function<void()> drain, NextWake nextWake = {});
    // Stops the thread and waits for it; the connection stays open.
    ~X11EventThread();
    X11EventThread(const X11EventThread&) = delete;
    X11EventThread& operator=(const X11EventThread&) = delete;

    // Has the thread drain again (and ask `nextWake` again).
    void wake();
    // False when the thread could not be started: nothing reads the connection.
    bool isRunning() const { return m_thread.joinable(); }

private:
    void run();

    xcb_connection_t* m_connection;
    std::function<void()> m_drain;
    NextWake m_nextWake;
    int m_wakeFd = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace corvane
