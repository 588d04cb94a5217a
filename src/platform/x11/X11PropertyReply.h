#pragma once

#include "platform/x11/X11Connection.h"

#include <QByteArray>
#include <QString>

#include <span>
#include <vector>

namespace corvane {

// A GetProperty reply, read in place without copying the value out of it.
using X11PropertyReply = X11Reply<xcb_get_property_reply_t>;

// Asks for up to 4096 items of any type.
xcb_get_property_cookie_t askX11Property(X11Connection& connection, xcb_window_t window, xcb_atom_t property);
// Null when the request failed, which for a property means the window is gone; an unset
// property still answers, with no type.
X11PropertyReply takeX11Property(X11Connection& connection, xcb_get_property_cookie_t cookie);

bool isSet(const X11PropertyReply& reply);
// The 32-bit items of a format-32 value; empty otherwise.
std::span<const uint32_t> values32(const X11PropertyReply& reply);
// Format-8 text cut at the first NUL: UTF-8 for UTF8_STRING, Latin-1 otherwise.
QString textOf(const X11PropertyReply& reply);
// Format-8 list items (WM_CLASS holds instance then class); a terminating NUL adds no item.
std::vector<QByteArray> stringsOf(const X11PropertyReply& reply);

} // namespace corvane
