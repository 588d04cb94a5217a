#include "platform/x11/X11PermissionProbe.h"

#include "platform/x11/X11Connection.h"

#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace corvane {

namespace {

std::optional<xcb_window_t> windowProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    X11Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < static_cast<int>(sizeof(xcb_window_t)))
        return std::nullopt;
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

} // namespace

X11PermissionProbe::X11PermissionProbe(QByteArray displayName) : m_displayName(std::move(displayName)) {}

X11PermissionProbe::~X11PermissionProbe() = default;

X11Connection* X11PermissionProbe::connection() {
    if (m_connection && m_connection->isValid())
        return m_connection.get();
    m_connection.reset();
    m_wmCheck = XCB_ATOM_NONE;
    m_composite.reset();
    auto opened = std::make_unique<X11Connection>(m_displayName, X11Atoms::none);
    if (!opened->isValid())
        return nullptr;
    xcb_connection_t* c = opened->raw();
    const char name[] = "_NET_SUPPORTING_WM_CHECK";
    X11Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr));
    if (!atom)
        return nullptr;
    m_wmCheck = atom->atom;
    m_connection = std::move(opened);
    return m_connection.get();
}

bool X11PermissionProbe::isAccessibilityTrusted() {
    std::lock_guard lock(m_mutex);
    X11Connection* connection = this->connection();
    if (!connection || connection->root() == XCB_WINDOW_NONE)
        return false;
    xcb_connection_t* c = connection->raw();
    // A window manager that exited may leave the root's property behind, pointing at a window
    // that is gone; the check window naming itself proves the manager is still there.
    const std::optional<xcb_window_t> check = windowProperty(c, connection->root(), m_wmCheck);
    if (!check || *check == XCB_WINDOW_NONE)
        return false;
    const std::optional<xcb_window_t> self = windowProperty(c, *check, m_wmCheck);
    return self && *self == *check;
}

bool X11PermissionProbe::isScreenCaptureAllowed() {
    std::lock_guard lock(m_mutex);
    X11Connection* connection = this->connection();
    if (!connection)
        return false;
    if (m_composite)
        return *m_composite;
    xcb_connection_t* c = connection->raw();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_composite_id);
    if (!extension || !extension->present)
        return *(m_composite = false);
    X11Reply<xcb_composite_query_version_reply_t> version(xcb_composite_query_version_reply(
        c, xcb_composite_query_version(c, XCB_COMPOSITE_MAJOR_VERSION, XCB_COMPOSITE_MINOR_VERSION),
        nullptr));
    if (!version)
        return false;
    return *(m_composite = version->major_version > 0 || version->minor_version >= 2);
}

} // namespace corvane

namespace corvane {

namespace {

QString noDisplayHelp() {
    return QStringLiteral(
        "Corvane works with other programs' windows through the X window system, and it found no X "
        "display to talk to. Under Wayland, log in to an X11 session instead (most login screens "
        "offer one); elsewhere, check that DISPLAY names a running X server.");
}

} // namespace

bool X11PermissionProbe::hasDisplay() {
    std::lock_guard lock(m_mutex);
    return connection() != nullptr;
}

QString X11PermissionProbe::accessibilityHelp() {
    if (!hasDisplay())
        return noDisplayHelp();
    if (isAccessibilityTrusted())
        return QStringLiteral("A window manager that follows the EWMH standard is running: windows can "
                              "be focused, moved and resized.");
    return QStringLiteral(
        "Corvane needs a window manager that follows the EWMH standard, such as openbox, xfwm4, KWin "
        "or Mutter, to see, focus, move and resize windows. No such window manager is running on this "
        "display. Start one (for example run \u201Copenbox &\u201D in a terminal, or log in to a desktop "
        "session that has one), then press Check Again.");
}

QString X11PermissionProbe::screenCaptureHelp() {
    if (!hasDisplay())
        return noDisplayHelp();
    if (isScreenCaptureAllowed())
        return QStringLiteral("The X server offers the Composite extension: windows can be captured.");
    return QStringLiteral(
        "Window pictures need the X server's Composite extension, which this X server does not offer. "
        "It is on unless it was turned off: look for Option \u201CComposite\u201D \u201CDisable\u201D in "
        "the Extensions section of the X server's configuration, or \u201C-extension Composite\u201D on "
        "its command line. It comes back only when the X server starts again. Everything else works "
        "without it: the strip shows program icons instead of window pictures.");
}

} // namespace corvane
