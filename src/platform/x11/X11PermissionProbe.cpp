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

bool X11PermissionProbe::isAccessibilityTrusted() {
    X11Connection connection(m_displayName, X11Atoms::none);
    xcb_connection_t* c = connection.isValid() ? connection.raw() : nullptr;
    if (!c)
        return false;
    const char name[] = "_NET_SUPPORTING_WM_CHECK";
    X11Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<uint16_t>(strlen(name)), name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const xcb_window_t root = connection.root();
    if (root == XCB_WINDOW_NONE)
        return false;
    // A window manager that exited may leave the root's property behind, pointing at a window
    // that is gone; the check window naming itself proves the manager is still there.
    const std::optional<xcb_window_t> check = windowProperty(c, root, atom->atom);
    if (!check || *check == XCB_WINDOW_NONE)
        return false;
    const std::optional<xcb_window_t> self = windowProperty(c, *check, atom->atom);
    return self && *self == *check;
}

bool X11PermissionProbe::isScreenCaptureAllowed() {
    X11Connection connection(m_displayName, X11Atoms::none);
    xcb_connection_t* c = connection.isValid() ? connection.raw() : nullptr;
    if (!c)
        return false;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_composite_id);
    if (!extension || !extension->present)
        return false;
    X11Reply<xcb_composite_query_version_reply_t> version(xcb_composite_query_version_reply(
        c, xcb_composite_query_version(c, XCB_COMPOSITE_MAJOR_VERSION, XCB_COMPOSITE_MINOR_VERSION),
        nullptr));
    if (!version)
        return false;
    return version->major_version > 0 || version->minor_version >= 2;
}

} // namespace corvane
