#include "platform/x11/X11WindowFacts.h"

#include <xcb/res.h>

#include <algorithm>

namespace corvane {

namespace {

xcb_get_property_cookie_t askProperty(X11Connection& c, xcb_window_t window, xcb_atom_t property) {
    return xcb_get_property(c.raw(), 0, window, property, XCB_ATOM_ANY, 0, 4096);
}

std::optional<X11Property> takeProperty(X11Connection& c, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    X11Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c.raw(), cookie, &error));
    std::free(error);
    if (!reply)
        return std::nullopt;
    X11Property result;
    result.type = reply->type;
    result.format = reply->format;
    result.data = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()) * (reply->format / 8));
    return result;
}

QMargins marginsFrom(const std::optional<X11Property>& property) {
    // Stored as left, right, top, bottom.
    const std::vector<uint32_t> v = property ? property->values32() : std::vector<uint32_t>{};
    if (v.size() < 4)
        return {};
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                    static_cast<int>(v[3]));
}

X11WindowKind kindFrom(X11Connection& c, const std::optional<X11Property>& types, bool transient) {
    // The list is in order of preference; the first type we know decides.
    for (uint32_t type : types ? types->values32() : std::vector<uint32_t>{}) {
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
    if (types && !types->values32().empty())
        return X11WindowKind::other;
    // No type at all: a transient window is taken for a dialog, any other for a normal one.
    return transient ? X11WindowKind::dialog : X11WindowKind::normal;
}

struct Cookies {
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_property_cookie_t frameExtents, shadows, netName, name, state, type, transientFor, desktop, pid,
        opacity, wmClass, gtkID, kdeID;
};

} // namespace

std::vector<int32_t> readWindowPids(X11Connection& c, const std::vector<xcb_window_t>& windows) {
    std::vector<int32_t> pids(windows.size(), 0);
    if (!c.isValid())
        return pids;
    std::vector<xcb_res_query_client_ids_cookie_t> resCookies;
    std::vector<xcb_get_property_cookie_t> pidCookies;
    for (xcb_window_t window : windows) {
        if (c.hasResourceExtension()) {
            const xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            resCookies.push_back(xcb_res_query_client_ids(c.raw(), 1, &spec));
        }
        pidCookies.push_back(askProperty(c, window, c.atom(X11Atom::netWmPid)));
    }
    for (size_t i = 0; i < windows.size(); ++i) {
        if (c.hasResourceExtension()) {
            xcb_generic_error_t* error = nullptr;
            X11Reply<xcb_res_query_client_ids_reply_t> reply(
                xcb_res_query_client_ids_reply(c.raw(), resCookies[i], &error));
            std::free(error);
            if (reply) {
                for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem;
                     xcb_res_client_id_value_next(&it)) {
                    if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
                        it.data->length >= 4)
                        pids[i] = static_cast<int32_t>(*xcb_res_client_id_value_value(it.data));
                }
            }
        }
        // The window's own claim is the fallback (remote clients, servers without the extension).
        const std::optional<X11Property> pid = takeProperty(c, pidCookies[i]);
        if (pids[i] <= 0 && pid && !pid->values32().empty())
            pids[i] = static_cast<int32_t>(pid->values32().front());
    }
    return pids;
}

std::vector<X11WindowFacts> readWindowFacts(X11Connection& c, const std::vector<xcb_window_t>& windows) {
    std::vector<X11WindowFacts> facts(windows.size());
    if (!c.isValid())
        return facts;
    xcb_connection_t* x = c.raw();
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t w : windows) {
        Cookies k;
        k.attributes = xcb_get_window_attributes(x, w);
        k.geometry = xcb_get_geometry(x, w);
        k.origin = xcb_translate_coordinates(x, w, c.root(), 0, 0);
        k.frameExtents = askProperty(c, w, c.atom(X11Atom::netFrameExtents));
        k.shadows = askProperty(c, w, c.atom(X11Atom::gtkFrameExtents));
        k.netName = askProperty(c, w, c.atom(X11Atom::netWmName));
        k.name = askProperty(c, w, XCB_ATOM_WM_NAME);
        k.state = askProperty(c, w, c.atom(X11Atom::netWmState));
        k.type = askProperty(c, w, c.atom(X11Atom::netWmWindowType));
        k.transientFor = askProperty(c, w, XCB_ATOM_WM_TRANSIENT_FOR);
        k.desktop = askProperty(c, w, c.atom(X11Atom::netWmDesktop));
        k.opacity = askProperty(c, w, c.atom(X11Atom::netWmWindowOpacity));
        k.wmClass = askProperty(c, w, XCB_ATOM_WM_CLASS);
        k.gtkID = askProperty(c, w, c.atom(X11Atom::gtkApplicationId));
        k.kdeID = askProperty(c, w, c.atom(X11Atom::kdeNetWmDesktopFile));
        cookies.push_back(k);
    }
    const std::vector<int32_t> pids = readWindowPids(c, windows);

    for (size_t i = 0; i < windows.size(); ++i) {
        const Cookies& k = cookies[i];
        X11WindowFacts& f = facts[i];
        f.window = windows[i];
        xcb_generic_error_t* error = nullptr;
        X11Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(x, k.attributes, &error));
        std::free(std::exchange(error, nullptr));
        X11Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(x, k.geometry, &error));
        std::free(std::exchange(error, nullptr));
        X11Reply<xcb_translate_coordinates_reply_t> origin(
            xcb_translate_coordinates_reply(x, k.origin, &error));
        std::free(std::exchange(error, nullptr));
        const auto frameExtents = takeProperty(c, k.frameExtents);
        const auto shadows = takeProperty(c, k.shadows);
        const auto netName = takeProperty(c, k.netName);
        const auto name = takeProperty(c, k.name);
        const auto state = takeProperty(c, k.state);
        const auto type = takeProperty(c, k.type);
        const auto transientFor = takeProperty(c, k.transientFor);
        const auto desktop = takeProperty(c, k.desktop);
        const auto opacity = takeProperty(c, k.opacity);
        const auto wmClass = takeProperty(c, k.wmClass);
        const auto gtkID = takeProperty(c, k.gtkID);
        const auto kdeID = takeProperty(c, k.kdeID);
        // Every reply must be there: a window destroyed halfway through reads as gone.
        if (!attributes || !geometry || !origin || !frameExtents || !state || !type || !netName || !name)
            continue;
        f.alive = true;
        f.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        f.client = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        f.frameExtents = marginsFrom(frameExtents);
        f.clientShadows = marginsFrom(shadows);
        f.pid = pids[i];
        f.title =
            netName->isSet() && netName->type == c.atom(X11Atom::utf8String) ? netName->text() : name->text();
        const std::vector<uint32_t> states = state->values32();
        f.hidden = std::find(states.begin(), states.end(), c.atom(X11Atom::netWmStateHidden)) != states.end();
        f.transient =
            transientFor && !transientFor->values32().empty() && transientFor->values32().front() != 0;
        f.kind = kindFrom(c, type, f.transient);
        if (desktop && !desktop->values32().empty())
            f.desktop = desktop->values32().front();
        if (opacity && !opacity->values32().empty())
            f.opacity = static_cast<double>(opacity->values32().front()) / 0xFFFFFFFFu;
        if (wmClass)
            f.wmClass = wmClass->strings();
        if (gtkID && gtkID->isSet())
            f.applicationID = gtkID->text();
        if (f.applicationID.isEmpty() && kdeID && kdeID->isSet())
            f.applicationID = kdeID->text();
    }
    return facts;
}

std::optional<X11WindowFacts> readWindowFacts(X11Connection& connection, xcb_window_t window) {
    std::vector<X11WindowFacts> facts = readWindowFacts(connection, std::vector<xcb_window_t>{window});
    if (facts.empty() || !facts.front().alive)
        return std::nullopt;
    return std::move(facts.front());
}

} // namespace corvane
