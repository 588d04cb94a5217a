#pragma once

#include "platform/x11/X11Connection.h"

#include <QMargins>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

namespace corvane {

// What a window says it is, coarsely: the window list puts the last two kinds above layer 0.
enum class X11WindowKind { normal, dialog, utility, panel, other };

// Everything the window layer reads about one client window, gathered in a single round trip.
struct X11WindowFacts {
    xcb_window_t window = XCB_WINDOW_NONE;
    bool alive = false;     // false: the window is gone; nothing else below is meaningful
    bool viewable = false;  // mapped with every ancestor mapped (its frame is shown)
    QRect client;           // the client area in root coordinates, physical pixels
    QMargins frameExtents;  // the window manager's decorations around the client
    QMargins clientShadows; // invisible shadows a client-side-decorated window draws itself
    int32_t pid = 0;        // 0 when unknown
    QString title;
    X11WindowKind kind = X11WindowKind::normal;
    bool transient = false;
    bool hidden = false; // minimised (or otherwise hidden by the window manager)
    std::optional<uint32_t> desktop;
    double opacity = 1.0;
    std::vector<QByteArray> wmClass; // instance, class
    QString applicationID;           // the id the toolkit announces, if any

    // The outer frame, decorations included, shadows excluded, in physical pixels.
    QRect outerFrame() const { return client.marginsAdded(frameExtents).marginsRemoved(clientShadows); }
};

// Reads the facts of every window with all requests in flight at once.
std::vector<X11WindowFacts> readWindowFacts(X11Connection& connection,
                                            const std::vector<xcb_window_t>& windows);
std::optional<X11WindowFacts> readWindowFacts(X11Connection& connection, xcb_window_t window);

// The process behind each window (0 when unknown), in one round trip.
std::vector<int32_t> readWindowPids(X11Connection& connection, const std::vector<xcb_window_t>& windows);

} // namespace corvane
