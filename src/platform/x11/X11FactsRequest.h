#pragma once

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11PidQuery.h"
#include "platform/x11/X11WindowFacts.h"

#include <optional>
#include <vector>

namespace corvane {

// The facts of some windows, with every request sent at construction: whatever else is sent
// before the first answer is waited for shares the round trip.
class X11FactsRequest {
public:
    // `which[i]` is what is asked about `windows[i]`.
    X11FactsRequest(X11Connection& connection, std::vector<xcb_window_t> windows,
                    std::vector<X11Facts> which);
    ~X11FactsRequest();
    X11FactsRequest(const X11FactsRequest&) = delete;
    X11FactsRequest& operator=(const X11FactsRequest&) = delete;

    // Waits for the answers, in the order of the windows; a window that is gone reads as not
    // alive. Call once.
    std::vector<X11WindowFacts> take();

private:
    struct Cookies;

    X11Connection& m_c;
    std::vector<xcb_window_t> m_windows;
    std::vector<X11Facts> m_which;
    std::vector<Cookies> m_cookies;
    std::optional<X11PidQuery> m_pids;
};

} // namespace corvane
