#pragma once

#include "platform/x11/X11Connection.h"

#include <xcb/res.h>

#include <cstdint>
#include <vector>

namespace corvane {

// The process behind each of some windows, with every request sent at construction so that
// they share a round trip with whatever else is in flight: the server's own answer where it has
// the resource extension, the window's claim (_NET_WM_PID) otherwise.
class X11PidQuery {
public:
    X11PidQuery(X11Connection& connection, std::vector<xcb_window_t> windows);
    ~X11PidQuery();
    X11PidQuery(const X11PidQuery&) = delete;
    X11PidQuery& operator=(const X11PidQuery&) = delete;

    // Waits for the answers, 0 where unknown. Windows the server cannot name (remote clients)
    // fall back on their claim, asked in a second round trip only for them. Call once.
    std::vector<int32_t> take();

private:
    int32_t named(xcb_res_query_client_ids_cookie_t cookie);
    int32_t claimed(xcb_get_property_cookie_t cookie);

    X11Connection& m_c;
    std::vector<xcb_window_t> m_windows;
    std::vector<xcb_res_query_client_ids_cookie_t> m_resCookies;
    std::vector<xcb_get_property_cookie_t> m_claimCookies;
    bool m_taken = false;
};

} // namespace corvane
