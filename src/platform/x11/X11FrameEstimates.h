#pragma once

#include "runtime/Scheduler.h"

#include <QAbstractNativeEventFilter>
#include <QMargins>

#include <xcb/xcb.h>

#include <functional>
#include <map>
#include <optional>

namespace corvane {

// The frame a window manager means to put around a window not yet mapped (EWMH
// _NET_REQUEST_FRAME_EXTENTS): asked on Qt's own connection, answered as the window manager writes
// the window's _NET_FRAME_EXTENTS, never waited for on the main thread. A window manager that does
// not answer within a moment (none runs, or it does not offer the estimate) answers none.
class X11FrameEstimates final : public QAbstractNativeEventFilter {
public:
    using Answer = std::function<void(std::optional<QMargins>)>;

    X11FrameEstimates(xcb_connection_t* connection, Scheduler& scheduler);
    ~X11FrameEstimates() override;

    void ask(xcb_window_t window, Answer answer);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    static constexpr Seconds patience{0.3};

private:
    struct Waiting {
        Answer answer;
        TimerHandle giveUp;
    };
    void answer(xcb_window_t window, std::optional<QMargins> margins);
    std::optional<QMargins> readExtents(xcb_window_t window) const;

    xcb_connection_t* m_connection;
    Scheduler& m_scheduler;
    xcb_atom_t m_request = XCB_ATOM_NONE;
    xcb_atom_t m_extents = XCB_ATOM_NONE;
    bool m_filtering = false;
    std::map<xcb_window_t, Waiting> m_waiting;
};

} // namespace corvane
