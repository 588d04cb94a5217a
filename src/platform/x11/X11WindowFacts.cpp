#include "platform/x11/X11WindowFacts.h"

#include <xcb/res.h>

#include <algorithm>
#include <span>

namespace corvane {

namespace {

using PropertyReply = X11Reply<xcb_get_property_reply_t>;

constexpr uint32_t kMaxPropertyItems = 4096;

xcb_get_property_cookie_t askProperty(X11Connection& c, xcb_window_t window, xcb_atom_t property) {
    return xcb_get_property(c.raw(), 0, window, property, XCB_ATOM_ANY, 0, kMaxPropertyItems);
}

// Null when the request failed, which for a property means the window is gone; an unset
// property still answers, with no type.
PropertyReply takeProperty(X11Connection& c, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    PropertyReply reply(xcb_get_property_reply(c.raw(), cookie, &error));
    std::free(error);
    return reply;
}

// Read in place, without copying the property out of the reply.
std::span<const uint32_t> values32(const PropertyReply& reply) {
    if (!reply || reply->format != 32)
        return {};
    return {static_cast<const uint32_t*>(xcb_get_property_value(reply.get())),
            static_cast<size_t>(xcb_get_property_value_length(reply.get())) / sizeof(uint32_t)};
}

std::span<const char> bytes8(const PropertyReply& reply) {
    if (!reply || reply->format != 8)
        return {};
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<size_t>(xcb_get_property_value_length(reply.get()))};
}

bool isSet(const PropertyReply& reply) {
    return reply && reply->type != XCB_ATOM_NONE;
}

// Format-8 text cut at the first NUL: UTF-8 for UTF8_STRING, Latin-1 otherwise.
QString textOf(const PropertyReply& reply) {
    const std::span<const char> bytes = bytes8(reply);
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    const auto length = static_cast<qsizetype>(end - bytes.begin());
    return reply && reply->type == XCB_ATOM_STRING ? QString::fromLatin1(bytes.data(), length)
                                                   : QString::fromUtf8(bytes.data(), length);
}

// Format-8 list items (WM_CLASS holds instance then class); a terminating NUL adds no item.
std::vector<QByteArray> stringsOf(const PropertyReply& reply) {
    std::vector<QByteArray> items;
    std::span<const char> rest = bytes8(reply);
    while (!rest.empty()) {
        const auto end = std::find(rest.begin(), rest.end(), '\0');
        items.emplace_back(rest.data(), static_cast<qsizetype>(end - rest.begin()));
        rest = rest.subspan(std::min(rest.size(), static_cast<size_t>(end - rest.begin()) + 1));
    }
    return items;
}

QMargins marginsFrom(const PropertyReply& property) {
    // Stored as left, right, top, bottom.
    const std::span<const uint32_t> v = values32(property);
    if (v.size() < 4)
        return {};
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                    static_cast<int>(v[3]));
}

X11WindowKind kindFrom(X11Connection& c, const PropertyReply& types, bool transient) {
    // The list is in order of preference; the first type we know decides.
    const std::span<const uint32_t> listed = values32(types);
    for (uint32_t type : listed) {
        if (type == c.atom(X11Atom::typeNormal))
            return transient ? X11WindowKind::dialog : X11WindowKind::normal;
        if (type == c.atom(X11Atom::typeDialog))
            return X11WindowKind::dialog;
        if (type == c.atom(X11Atom::typeUtility))
            return X11WindowKind::utility;
        if (type == c.atom(X11Atom::typeDock) || type == c.atom(X11Atom::typeDesktop) ||
            type == c.atom(X11Atom::typeToolbar) || type == c.atom(X11Atom::typeMenu) ||
            type == c.atom(X11Atom::typeSplash) || type == c.atom(X11Atom::typeNotification))
            return X11WindowKind::panel;
    }
    if (!listed.empty())
        return X11WindowKind::other;
    // No type at all: a transient window is taken for a dialog, any other for a normal one.
    return transient ? X11WindowKind::dialog : X11WindowKind::normal;
}

// The pid requests of a batch: the server's own answer where it has the resource extension, the
// window's claim otherwise. Sent with the batch so that they share its round trip.
class PidQuery {
public:
    PidQuery(X11Connection& c, const std::vector<xcb_window_t>& windows) : m_c(c), m_windows(windows) {
        if (!c.isValid())
            return;
        for (xcb_window_t window : windows) {
            if (c.hasResourceExtension()) {
                const xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
                m_resCookies.push_back(xcb_res_query_client_ids(c.raw(), 1, &spec));
            } else {
                m_claimCookies.push_back(askProperty(c, window, c.atom(X11Atom::netWmPid)));
            }
        }
    }

    // Takes the answers; windows the server cannot name (remote clients) fall back on their
    // claim, asked in a second round trip only for them.
    std::vector<int32_t> take() {
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
            claims.push_back(askProperty(m_c, m_windows[i], m_c.atom(X11Atom::netWmPid)));
        for (size_t k = 0; k < unnamed.size(); ++k)
            pids[unnamed[k]] = claimed(claims[k]);
        return pids;
    }

private:
    int32_t named(xcb_res_query_client_ids_cookie_t cookie) {
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

    int32_t claimed(xcb_get_property_cookie_t cookie) {
        const PropertyReply reply = takeProperty(m_c, cookie);
        const std::span<const uint32_t> values = values32(reply);
        return values.empty() ? 0 : static_cast<int32_t>(values.front());
    }

    X11Connection& m_c;
    const std::vector<xcb_window_t>& m_windows;
    std::vector<xcb_res_query_client_ids_cookie_t> m_resCookies;
    std::vector<xcb_get_property_cookie_t> m_claimCookies;
};

bool needsAttributes(X11Facts which) {
    return (which & X11Fact::viewable) || !(which & ~X11Facts(X11Fact::pid));
}

struct Cookies {
    xcb_get_window_attributes_cookie_t attributes{};
    xcb_get_geometry_cookie_t geometry{};
    xcb_translate_coordinates_cookie_t origin{};
    xcb_get_property_cookie_t frameExtents{}, shadows{}, netName{}, state{}, type{}, transientFor{},
        desktop{}, opacity{}, wmClass{}, gtkID{}, kdeID{};
};

Cookies ask(X11Connection& c, xcb_window_t w, X11Facts which) {
    xcb_connection_t* x = c.raw();
    Cookies k;
    // The attributes also tell whether the window is there, which any other reply tells as well.
    if (needsAttributes(which))
        k.attributes = xcb_get_window_attributes(x, w);
    if (which & X11Fact::frame) {
        k.geometry = xcb_get_geometry(x, w);
        k.origin = xcb_translate_coordinates(x, w, c.root(), 0, 0);
        k.frameExtents = askProperty(c, w, c.atom(X11Atom::netFrameExtents));
        k.shadows = askProperty(c, w, c.atom(X11Atom::gtkFrameExtents));
    }
    // The legacy name is asked for only where the UTF-8 one turns out to be missing.
    if (which & X11Fact::title)
        k.netName = askProperty(c, w, c.atom(X11Atom::netWmName));
    if (which & X11Fact::state) {
        k.state = askProperty(c, w, c.atom(X11Atom::netWmState));
        k.type = askProperty(c, w, c.atom(X11Atom::netWmWindowType));
        k.transientFor = askProperty(c, w, XCB_ATOM_WM_TRANSIENT_FOR);
    }
    if (which & X11Fact::placement) {
        k.desktop = askProperty(c, w, c.atom(X11Atom::netWmDesktop));
        k.opacity = askProperty(c, w, c.atom(X11Atom::netWmWindowOpacity));
    }
    if (which & X11Fact::identity) {
        k.wmClass = askProperty(c, w, XCB_ATOM_WM_CLASS);
        k.gtkID = askProperty(c, w, c.atom(X11Atom::gtkApplicationId));
        k.kdeID = askProperty(c, w, c.atom(X11Atom::kdeNetWmDesktopFile));
    }
    return k;
}

// Every reply of a request sent is taken, also once the window has turned out to be gone: xcb
// keeps replies nobody takes. True when the window has no UTF-8 title and its legacy name is
// still to be read.
bool take(X11Connection& c, const Cookies& k, X11Facts which, X11WindowFacts& f) {
    xcb_connection_t* x = c.raw();
    xcb_generic_error_t* error = nullptr;
    X11Reply<xcb_get_window_attributes_reply_t> attributes;
    if (needsAttributes(which)) {
        attributes.reset(xcb_get_window_attributes_reply(x, k.attributes, &error));
        std::free(std::exchange(error, nullptr));
    }
    // Every reply a fact needs must be there: a window destroyed halfway through reads as gone.
    bool complete = !needsAttributes(which) || attributes != nullptr;
    if (which & X11Fact::frame) {
        X11Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(x, k.geometry, &error));
        std::free(std::exchange(error, nullptr));
        X11Reply<xcb_translate_coordinates_reply_t> origin(
            xcb_translate_coordinates_reply(x, k.origin, &error));
        std::free(std::exchange(error, nullptr));
        const PropertyReply frameExtents = takeProperty(c, k.frameExtents);
        const PropertyReply shadows = takeProperty(c, k.shadows);
        complete = complete && geometry && origin && frameExtents;
        if (complete) {
            f.client = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
            f.frameExtents = marginsFrom(frameExtents);
            f.clientShadows = marginsFrom(shadows);
        }
    }
    bool needsLegacyName = false;
    if (which & X11Fact::title) {
        const PropertyReply netName = takeProperty(c, k.netName);
        complete = complete && netName;
        if (complete && isSet(netName) && netName->type == c.atom(X11Atom::utf8String))
            f.title = textOf(netName);
        else
            needsLegacyName = complete;
    }
    if (which & X11Fact::state) {
        const PropertyReply state = takeProperty(c, k.state);
        const PropertyReply type = takeProperty(c, k.type);
        const PropertyReply transientFor = takeProperty(c, k.transientFor);
        complete = complete && state && type;
        if (complete) {
            const std::span<const uint32_t> states = values32(state);
            f.hidden =
                std::find(states.begin(), states.end(), c.atom(X11Atom::netWmStateHidden)) != states.end();
            const std::span<const uint32_t> parent = values32(transientFor);
            f.transient = !parent.empty() && parent.front() != 0;
            f.kind = kindFrom(c, type, f.transient);
        }
    }
    if (which & X11Fact::placement) {
        const PropertyReply desktop = takeProperty(c, k.desktop);
        const PropertyReply opacity = takeProperty(c, k.opacity);
        complete = complete && desktop;
        if (const std::span<const uint32_t> v = values32(desktop); !v.empty())
            f.desktop = v.front();
        if (const std::span<const uint32_t> v = values32(opacity); !v.empty())
            f.opacity = static_cast<double>(v.front()) / 0xFFFFFFFFu;
    }
    if (which & X11Fact::identity) {
        const PropertyReply wmClass = takeProperty(c, k.wmClass);
        const PropertyReply gtkID = takeProperty(c, k.gtkID);
        const PropertyReply kdeID = takeProperty(c, k.kdeID);
        // Alone, the identity must tell whether the window is there.
        complete = complete && wmClass;
        f.wmClass = stringsOf(wmClass);
        if (isSet(gtkID))
            f.applicationID = textOf(gtkID);
        if (f.applicationID.isEmpty() && isSet(kdeID))
            f.applicationID = textOf(kdeID);
    }
    if (!complete) {
        // Nothing of a window that is gone is meaningful.
        f = X11WindowFacts{f.window};
        return false;
    }
    f.alive = true;
    f.viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    return needsLegacyName;
}

// The legacy names of the windows without a UTF-8 title, in one more round trip; a window gone
// meanwhile reads as gone.
void readLegacyNames(X11Connection& c, std::vector<X11WindowFacts>& facts, const std::vector<size_t>& which) {
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(which.size());
    for (size_t i : which)
        cookies.push_back(askProperty(c, facts[i].window, XCB_ATOM_WM_NAME));
    for (size_t k = 0; k < which.size(); ++k) {
        X11WindowFacts& f = facts[which[k]];
        if (const PropertyReply name = takeProperty(c, cookies[k]))
            f.title = textOf(name);
        else
            f = X11WindowFacts{f.window};
    }
}

} // namespace

std::vector<int32_t> readWindowPids(X11Connection& c, const std::vector<xcb_window_t>& windows) {
    return PidQuery(c, windows).take();
}

std::vector<X11WindowFacts> readWindowFacts(X11Connection& c, const std::vector<xcb_window_t>& windows,
                                            X11Facts which) {
    return readWindowFacts(c, windows, std::vector<X11Facts>(windows.size(), which));
}

std::vector<X11WindowFacts> readWindowFacts(X11Connection& c, const std::vector<xcb_window_t>& windows,
                                            const std::vector<X11Facts>& which) {
    std::vector<X11WindowFacts> facts(windows.size());
    for (size_t i = 0; i < windows.size(); ++i)
        facts[i].window = windows[i];
    if (!c.isValid() || which.size() != windows.size())
        return facts;
    // All requests go out before the first reply is waited for: one round trip for the lot.
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    std::vector<xcb_window_t> pidWindows;
    for (size_t i = 0; i < windows.size(); ++i) {
        cookies.push_back(ask(c, windows[i], which[i]));
        if (which[i] & X11Fact::pid)
            pidWindows.push_back(windows[i]);
    }
    PidQuery pids(c, pidWindows);

    std::vector<size_t> untitled;
    for (size_t i = 0; i < windows.size(); ++i)
        if (take(c, cookies[i], which[i], facts[i]))
            untitled.push_back(i);
    const std::vector<int32_t> owners = pids.take();
    if (!untitled.empty())
        readLegacyNames(c, facts, untitled);
    for (size_t i = 0, k = 0; i < windows.size(); ++i) {
        if (!(which[i] & X11Fact::pid))
            continue;
        if (facts[i].alive)
            facts[i].pid = owners[k];
        ++k;
    }
    return facts;
}

std::optional<X11WindowFacts> readWindowFacts(X11Connection& connection, xcb_window_t window,
                                              X11Facts which) {
    std::vector<X11WindowFacts> facts = readWindowFacts(connection, std::vector<xcb_window_t>{window}, which);
    if (facts.empty() || !facts.front().alive)
        return std::nullopt;
    return std::move(facts.front());
}

} // namespace corvane
