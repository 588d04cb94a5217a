#include "platform/x11/X11WindowFacts.h"

#include "platform/x11/X11FactsRequest.h"
#include "platform/x11/X11PidQuery.h"

namespace corvane {

std::vector<int32_t> readWindowPids(X11Connection& c, const std::vector<xcb_window_t>& windows) {
    return X11PidQuery(c, windows).take();
}

std::vector<X11WindowFacts> readWindowFacts(X11Connection& c, const std::vector<xcb_window_t>& windows,
                                            X11Facts which) {
    return X11FactsRequest(c, windows, std::vector<X11Facts>(windows.size(), which)).take();
}

std::vector<X11WindowFacts> readWindowFacts(X11Connection& c, const std::vector<xcb_window_t>& windows,
                                            const std::vector<X11Facts>& which) {
    return X11FactsRequest(c, windows, which).take();
}

std::optional<X11WindowFacts> readWindowFacts(X11Connection& connection, xcb_window_t window,
                                              X11Facts which) {
    std::vector<X11WindowFacts> facts = readWindowFacts(connection, std::vector<xcb_window_t>{window}, which);
    if (facts.empty() || !facts.front().alive)
        return std::nullopt;
    return std::move(facts.front());
}

} // namespace corvane
