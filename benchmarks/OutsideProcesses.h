#pragma once

// What the benchmarks that time the real `corvane` binary from outside share: the programs they
// start, and whether a window of theirs is on screen, asked of the server.
#include "BenchmarkDesktop.h"

#include <QProcess>

#include <xcb/xcb.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace corvane::benchmarks {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

inline bool isViewable(xcb_window_t window) {
    xcb_connection_t* c = desktop().connection();
    const std::unique_ptr<xcb_get_window_attributes_reply_t, FreeReply> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// Asks until `window` is (or is not) viewable; false after the bound.
inline bool waitViewable(xcb_window_t window, bool viewable, std::chrono::milliseconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (isViewable(window) != viewable) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A program the benchmark started, stopped when it goes.
struct Child {
    ~Child() {
        if (process.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
    QProcess process;
};

} // namespace corvane::benchmarks
