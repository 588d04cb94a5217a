#pragma once

#include "platform/x11/X11Connection.h"

#include <QHash>

#include <cstdint>
#include <vector>

namespace corvane {

// The process behind each client window, asked of the server once per window: a window's
// process never changes. Windows the server could not name are asked again next time.
class X11WindowPids {
public:
    // The process of each window (0 when unknown), in one round trip for the windows not met before.
    std::vector<int32_t> pidsOf(X11Connection& connection, const std::vector<xcb_window_t>& windows);
    // Forgets every window not in `listed`, so that a reused window id is asked afresh.
    void keepOnly(const std::vector<xcb_window_t>& listed);
    void clear() { m_pids.clear(); }

private:
    QHash<xcb_window_t, int32_t> m_pids;
};

} // namespace corvane
