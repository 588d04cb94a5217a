#include "platform/x11/X11PropertyReply.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr uint32_t kMaxPropertyItems = 4096;

std::span<const char> bytes8(const X11PropertyReply& reply) {
    if (!reply || reply->format != 8)
        return {};
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<size_t>(xcb_get_property_value_length(reply.get()))};
}

} // namespace

xcb_get_property_cookie_t askX11Property(X11Connection& c, xcb_window_t window, xcb_atom_t property) {
    return xcb_get_property(c.raw(), 0, window, property, XCB_ATOM_ANY, 0, kMaxPropertyItems);
}

X11PropertyReply takeX11Property(X11Connection& c, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    X11PropertyReply reply(xcb_get_property_reply(c.raw(), cookie, &error));
    std::free(error);
    return reply;
}

bool isSet(const X11PropertyReply& reply) {
    return reply && reply->type != XCB_ATOM_NONE;
}

std::span<const uint32_t> values32(const X11PropertyReply& reply) {
    if (!reply || reply->format != 32)
        return {};
    // The value's length is given in bytes.
    return {static_cast<const uint32_t*>(xcb_get_property_value(reply.get())),
            static_cast<size_t>(xcb_get_property_value_length(reply.get())) / sizeof(uint32_t)};
}

QString textOf(const X11PropertyReply& reply) {
    const std::span<const char> bytes = bytes8(reply);
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    const auto length = static_cast<qsizetype>(end - bytes.begin());
    return reply && reply->type == XCB_ATOM_STRING ? QString::fromLatin1(bytes.data(), length)
                                                   : QString::fromUtf8(bytes.data(), length);
}

std::vector<QByteArray> stringsOf(const X11PropertyReply& reply) {
    std::vector<QByteArray> items;
    std::span<const char> rest = bytes8(reply);
    while (!rest.empty()) {
        const auto end = std::find(rest.begin(), rest.end(), '\0');
        items.emplace_back(rest.data(), static_cast<qsizetype>(end - rest.begin()));
        rest = rest.subspan(std::min(rest.size(), static_cast<size_t>(end - rest.begin()) + 1));
    }
    return items;
}

} // namespace corvane
