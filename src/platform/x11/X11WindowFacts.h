#pragma once

#include "platform/x11/X11Connection.h"

#include <QFlags>
#include <QMargins>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

namespace corvane {

// What a window says it is, coarsely: the window list puts the last two kinds above layer 0.
enum class X11WindowKind { normal, dialog, utility, panel, other };

// Groups of facts, so that a reader asks the server only for what it uses: the server answers
// request by request, and their number is what a read costs. Whether the window still exists is
// always known.
enum class X11Fact : unsigned {
    viewable = 1u << 0,  // viewable
    frame = 1u << 1,     // client area, frame extents, shadows
    title = 1u << 2,     // title
    state = 1u << 3,     // hidden, kind, transient
    placement = 1u << 4, // desktop, opacity
    identity = 1u << 5,  // WM_CLASS, application id
    pid = 1u << 6,       // the process, asked of the server (callers that remember pids leave it out)
    // With the title, the legacy name too at once, for a window that had no UTF-8 title when
    // last read; without it that name costs a second round trip.
    legacyTitle = 1u << 7,
};
Q_DECLARE_FLAGS(X11Facts, X11Fact)
Q_DECLARE_OPERATORS_FOR_FLAGS(X11Facts)
inline constexpr X11Facts allX11Facts = X11Facts(X11Fact::viewable) | X11Fact::frame | X11Fact::title |
                                        X11Fact::state | X11Fact::placement | X11Fact::identity |
                                        X11Fact::pid;

// Everything the window layer reads about one client window, gathered in a single round trip.
// Facts of groups that were not asked for keep the defaults below.
struct X11WindowFacts {
    xcb_window_t window = XCB_WINDOW_NONE;
    bool alive = false;     // false: the window is gone; nothing else below is meaningful
    bool viewable = false;  // mapped with every ancestor mapped (its frame is shown)
    QRect client;           // the client area in root coordinates, physical pixels
    QPoint inParent;        // the client area's origin inside its parent (the frame, when managed)
    QMargins frameExtents;  // the window manager's decorations around the client
    QMargins clientShadows; // invisible shadows a client-side-decorated window draws itself
    int32_t pid = 0;        // 0 when unknown
    QString title;
    bool legacyTitle = false; // the title is the legacy name: the window has no UTF-8 one
    X11WindowKind kind = X11WindowKind::normal;
    bool transient = false;
    bool hidden = false;     // minimised (or otherwise hidden by the window manager)
    bool fullscreen = false; // the window manager shows it full-screen
    bool maximized = false;  // maximised in either direction, or both
    std::optional<uint32_t> desktop;
    double opacity = 1.0;
    std::vector<QByteArray> wmClass; // instance, class
    QString applicationID;           // the id the toolkit announces, if any

    // The outer frame, decorations included, shadows excluded, in physical pixels.
    QRect outerFrame() const { return client.marginsAdded(frameExtents).marginsRemoved(clientShadows); }
};

// Reads the facts of every window with all requests in flight at once.
std::vector<X11WindowFacts> readWindowFacts(X11Connection& connection,
                                            const std::vector<xcb_window_t>& windows,
                                            X11Facts which = allX11Facts);
// The same with a choice per window (`which[i]` for `windows[i]`), still in one round trip.
std::vector<X11WindowFacts> readWindowFacts(X11Connection& connection,
                                            const std::vector<xcb_window_t>& windows,
                                            const std::vector<X11Facts>& which);
std::optional<X11WindowFacts> readWindowFacts(X11Connection& connection, xcb_window_t window,
                                              X11Facts which = allX11Facts);

// The process behind each window (0 when unknown), in one round trip.
std::vector<int32_t> readWindowPids(X11Connection& connection, const std::vector<xcb_window_t>& windows);

} // namespace corvane
