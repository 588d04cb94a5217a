#include "platform/x11/X11PidQuery.h"

#include "platform/x11/X11PropertyReply.h"

#include <xcb/xcbext.h>

namespace corvane {

X11PidQuery::X11PidQuery(X11Connection& c, std::vector<xcb_window_t> windows)
    : m_c(c), m_windows(std::move(windows)) {
    if (!c.isValid())
        return;
    for (xcb_window_t window : m_windows) {
        if (c.hasResourceExtension()) {
            const xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            m_resCookies.push_back(xcb_res_query_client_ids(c.raw(), 1, &spec));
        } else {
            m_claimCookies.push_back(askX11Property(c, window, c.atom(X11Atom::netWmPid)));
        }
    }
}

X11PidQuery::~X11PidQuery() {
    // Answers nobody will take are dropped as they come, or xcb keeps them.
    if (m_taken || !m_c.isValid())
        return;
    for (const xcb_res_query_client_ids_cookie_t cookie : m_resCookies)
        xcb_discard_reply(m_c.raw(), cookie.sequence);
    for (const xcb_get_property_cookie_t cookie : m_claimCookies)
        xcb_discard_reply(m_c.raw(), cookie.sequence);
}

std::vector<int32_t> X11PidQuery::take() {
    m_taken = true;
    std::vector<int32_t> pids(m_windows.size(), 0);
    if (!m_c.isValid())
        return pids;
    if (!m_c.hasResourceExtension()) {
        for (size_t i = 0; i < m_windows.size(); ++i)
            pids[i] = claimed(m_claimCookies[i]);
        return pids;
    }
    std::vector<size_t> unnamed;
    for (size_t i = 0; i < m_windows.size(); ++i) {
        pids[i] = named(m_resCookies[i]);
        if (pids[i] <= 0)
            unnamed.push_back(i);
    }
    std::vector<xcb_get_property_cookie_t> claims;
    for (size_t i : unnamed)
        claims.push_back(askX11Property(m_c, m_windows[i], m_c.atom(X11Atom::netWmPid)));
    for (size_t k = 0; k < unnamed.size(); ++k)
        pids[unnamed[k]] = claimed(claims[k]);
    return pids;
}

int32_t X11PidQuery::named(xcb_res_query_client_ids_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    X11Reply<xcb_res_query_client_ids_reply_t> reply(
        xcb_res_query_client_ids_reply(m_c.raw(), cookie, &error));
    std::free(error);
    int32_t pid = 0;
    if (!reply)
        return pid;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem;
         xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) && it.data->length >= 4)
            pid = static_cast<int32_t>(*xcb_res_client_id_value_value(it.data));
    }
    return pid;
}

int32_t X11PidQuery::claimed(xcb_get_property_cookie_t cookie) {
    const X11PropertyReply reply = takeX11Property(m_c, cookie);
    const std::span<const uint32_t> values = values32(reply);
    return values.empty() ? 0 : static_cast<int32_t>(values.front());
}

} // namespace corvane
