#include "platform/x11/X11FactsRequest.h"

#include "platform/x11/X11PropertyReply.h"

#include <xcb/xcbext.h>

#include <algorithm>

namespace corvane {

namespace {

QMargins marginsFrom(const X11PropertyReply& property) {
    // Stored as left, right, top, bottom.
    const std::span<const uint32_t> v = values32(property);
    if (v.size() < 4)
        return {};
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                    static_cast<int>(v[3]));
}

X11WindowKind kindFrom(X11Connection& c, const X11PropertyReply& types, bool transient) {
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

bool needsAttributes(X11Facts which) {
    return (which & X11Fact::viewable) || !(which & ~X11Facts(X11Fact::pid));
}

struct CookiesOfWindow {
    xcb_get_window_attributes_cookie_t attributes{};
    xcb_get_geometry_cookie_t geometry{};
    xcb_translate_coordinates_cookie_t origin{};
    xcb_get_property_cookie_t frameExtents{}, shadows{}, netName{}, name{}, state{}, type{}, transientFor{},
        desktop{}, opacity{}, wmClass{}, gtkID{}, kdeID{};

    // Drops the answers to the requests `which` sent.
    void discard(xcb_connection_t* x, X11Facts which) const {
        const auto drop = [x](auto cookie) { xcb_discard_reply(x, cookie.sequence); };
        if (needsAttributes(which))
            drop(attributes);
        if (which & X11Fact::frame) {
            drop(geometry);
            drop(origin);
            drop(frameExtents);
            drop(shadows);
        }
        if (which & X11Fact::title) {
            drop(netName);
            if (which & X11Fact::legacyTitle)
                drop(name);
        }
        if (which & X11Fact::state) {
            drop(state);
            drop(type);
            drop(transientFor);
        }
        if (which & X11Fact::placement) {
            drop(desktop);
            drop(opacity);
        }
        if (which & X11Fact::identity) {
            drop(wmClass);
            drop(gtkID);
            drop(kdeID);
        }
    }
};

CookiesOfWindow askWindow(X11Connection& c, xcb_window_t w, X11Facts which) {
    xcb_connection_t* x = c.raw();
    CookiesOfWindow k;
    // The attributes also tell whether the window is there, which any other reply tells as well.
    if (needsAttributes(which))
        k.attributes = xcb_get_window_attributes(x, w);
    if (which & X11Fact::frame) {
        k.geometry = xcb_get_geometry(x, w);
        k.origin = xcb_translate_coordinates(x, w, c.root(), 0, 0);
        k.frameExtents = askX11Property(c, w, c.atom(X11Atom::netFrameExtents));
        k.shadows = askX11Property(c, w, c.atom(X11Atom::gtkFrameExtents));
    }
    // The legacy name is asked for only where the UTF-8 one is missing, or was last time.
    if (which & X11Fact::title) {
        k.netName = askX11Property(c, w, c.atom(X11Atom::netWmName));
        if (which & X11Fact::legacyTitle)
            k.name = askX11Property(c, w, XCB_ATOM_WM_NAME);
    }
    if (which & X11Fact::state) {
        k.state = askX11Property(c, w, c.atom(X11Atom::netWmState));
        k.type = askX11Property(c, w, c.atom(X11Atom::netWmWindowType));
        k.transientFor = askX11Property(c, w, XCB_ATOM_WM_TRANSIENT_FOR);
    }
    if (which & X11Fact::placement) {
        k.desktop = askX11Property(c, w, c.atom(X11Atom::netWmDesktop));
        k.opacity = askX11Property(c, w, c.atom(X11Atom::netWmWindowOpacity));
    }
    if (which & X11Fact::identity) {
        k.wmClass = askX11Property(c, w, XCB_ATOM_WM_CLASS);
        k.gtkID = askX11Property(c, w, c.atom(X11Atom::gtkApplicationId));
        k.kdeID = askX11Property(c, w, c.atom(X11Atom::kdeNetWmDesktopFile));
    }
    return k;
}

// Every reply of a request sent is taken, also once the window has turned out to be gone: xcb
// keeps replies nobody takes. True when the window has no UTF-8 title and its legacy name is
// still to be read.
bool takeWindow(X11Connection& c, const CookiesOfWindow& k, X11Facts which, X11WindowFacts& f) {
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
        const X11PropertyReply frameExtents = takeX11Property(c, k.frameExtents);
        const X11PropertyReply shadows = takeX11Property(c, k.shadows);
        complete = complete && geometry && origin && frameExtents;
        if (complete) {
            f.client = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
            f.inParent = QPoint(geometry->x + geometry->border_width, geometry->y + geometry->border_width);
            f.frameExtents = marginsFrom(frameExtents);
            f.clientShadows = marginsFrom(shadows);
        }
    }
    bool needsLegacyName = false;
    if (which & X11Fact::title) {
        const X11PropertyReply netName = takeX11Property(c, k.netName);
        X11PropertyReply name;
        if (which & X11Fact::legacyTitle)
            name = takeX11Property(c, k.name);
        complete = complete && netName;
        if (complete && isSet(netName) && netName->type == c.atom(X11Atom::utf8String)) {
            f.title = textOf(netName);
        } else if (complete && name) {
            f.title = textOf(name);
            f.legacyTitle = true;
        } else {
            needsLegacyName = complete;
        }
    }
    if (which & X11Fact::state) {
        const X11PropertyReply state = takeX11Property(c, k.state);
        const X11PropertyReply type = takeX11Property(c, k.type);
        const X11PropertyReply transientFor = takeX11Property(c, k.transientFor);
        complete = complete && state && type;
        if (complete) {
            const std::span<const uint32_t> states = values32(state);
            f.hidden =
                std::find(states.begin(), states.end(), c.atom(X11Atom::netWmStateHidden)) != states.end();
            const auto has = [&](X11Atom atom) {
                return std::find(states.begin(), states.end(), c.atom(atom)) != states.end();
            };
            f.fullscreen = has(X11Atom::netWmStateFullscreen);
            f.maximized = has(X11Atom::netWmStateMaximizedVert) || has(X11Atom::netWmStateMaximizedHorz);
            const std::span<const uint32_t> parent = values32(transientFor);
            f.transient = !parent.empty() && parent.front() != 0;
            f.kind = kindFrom(c, type, f.transient);
        }
    }
    if (which & X11Fact::placement) {
        const X11PropertyReply desktop = takeX11Property(c, k.desktop);
        const X11PropertyReply opacity = takeX11Property(c, k.opacity);
        complete = complete && desktop;
        if (const std::span<const uint32_t> v = values32(desktop); !v.empty())
            f.desktop = v.front();
        if (const std::span<const uint32_t> v = values32(opacity); !v.empty())
            f.opacity = static_cast<double>(v.front()) / 0xFFFFFFFFu;
    }
    if (which & X11Fact::identity) {
        const X11PropertyReply wmClass = takeX11Property(c, k.wmClass);
        const X11PropertyReply gtkID = takeX11Property(c, k.gtkID);
        const X11PropertyReply kdeID = takeX11Property(c, k.kdeID);
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
        cookies.push_back(askX11Property(c, facts[i].window, XCB_ATOM_WM_NAME));
    for (size_t k = 0; k < which.size(); ++k) {
        X11WindowFacts& f = facts[which[k]];
        if (const X11PropertyReply name = takeX11Property(c, cookies[k])) {
            f.title = textOf(name);
            f.legacyTitle = true;
        } else {
            f = X11WindowFacts{f.window};
        }
    }
}

} // namespace

struct X11FactsRequest::Cookies : CookiesOfWindow {};

X11FactsRequest::X11FactsRequest(X11Connection& c, std::vector<xcb_window_t> windows,
                                 std::vector<X11Facts> which)
    : m_c(c), m_windows(std::move(windows)), m_which(std::move(which)) {
    m_which.resize(m_windows.size());
    if (!c.isValid())
        return;
    m_cookies.reserve(m_windows.size());
    std::vector<xcb_window_t> pidWindows;
    for (size_t i = 0; i < m_windows.size(); ++i) {
        m_cookies.push_back(Cookies{askWindow(c, m_windows[i], m_which[i])});
        if (m_which[i] & X11Fact::pid)
            pidWindows.push_back(m_windows[i]);
    }
    if (!pidWindows.empty())
        m_pids.emplace(c, std::move(pidWindows));
}

X11FactsRequest::~X11FactsRequest() {
    // Answers nobody will take are dropped as they come, or xcb keeps them.
    if (!m_c.isValid())
        return;
    for (size_t i = 0; i < m_cookies.size(); ++i)
        m_cookies[i].discard(m_c.raw(), m_which[i]);
}

std::vector<X11WindowFacts> X11FactsRequest::take() {
    std::vector<X11WindowFacts> facts(m_windows.size());
    for (size_t i = 0; i < m_windows.size(); ++i)
        facts[i].window = m_windows[i];
    if (m_cookies.empty())
        return facts;
    std::vector<size_t> untitled;
    for (size_t i = 0; i < m_cookies.size(); ++i)
        if (takeWindow(m_c, m_cookies[i], m_which[i], facts[i]))
            untitled.push_back(i);
    m_cookies.clear();
    const std::vector<int32_t> owners = m_pids ? m_pids->take() : std::vector<int32_t>{};
    if (!untitled.empty())
        readLegacyNames(m_c, facts, untitled);
    for (size_t i = 0, k = 0; i < m_windows.size(); ++i) {
        if (!(m_which[i] & X11Fact::pid))
            continue;
        if (facts[i].alive)
            facts[i].pid = owners[k];
        ++k;
    }
    return facts;
}

} // namespace corvane
