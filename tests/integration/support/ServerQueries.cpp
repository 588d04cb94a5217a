#include "support/ServerQueries.h"

#include "support/IntegrationMain.h"
#include "support/PictureChecks.h"
#include "support/VirtualDesktop.h"

#include <QMargins>
#include <QTest>

#include <xcb/shape.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace corvane::testing {
namespace {
template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
}

QRect serverFrame(xcb_window_t client) {
    xcb_connection_t* c = desktop().connection();
    xcb_window_t window = client;
    for (;;) {
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr),
                                           &std::free);
        if (!tree)
            return {};
        if (tree->parent == tree->root)
            break;
        window = tree->parent;
    }
    Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr),
                                      &std::free);
    if (!g)
        return {};
    return QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
}

QRegion serverShape(xcb_window_t window) {
    xcb_connection_t* c = desktop().connection();
    Reply<xcb_shape_get_rectangles_reply_t> shape(
        xcb_shape_get_rectangles_reply(c, xcb_shape_get_rectangles(c, window, XCB_SHAPE_SK_BOUNDING),
                                       nullptr),
        &std::free);
    QRegion region;
    if (!shape)
        return region;
    const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(shape.get());
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(shape.get()); ++i)
        region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    return region;
}

std::vector<QRect> embeddedWindows(const QString& windowClass) {
    xcb_connection_t* c = desktop().connection();
    const xcb_window_t root = desktop().rootWindow();
    std::vector<QRect> found;
    std::vector<xcb_window_t> pending{root};
    while (!pending.empty()) {
        const xcb_window_t window = pending.back();
        pending.pop_back();
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr),
                                           &std::free);
        if (!tree)
            continue;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        pending.insert(pending.end(), children, children + xcb_query_tree_children_length(tree.get()));
        if (window == root || tree->parent == root)
            continue;
        Reply<xcb_get_property_reply_t> cls(
            xcb_get_property_reply(
                c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr),
            &std::free);
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr), &std::free);
        if (!cls || !attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        const QByteArray text(static_cast<const char*>(xcb_get_property_value(cls.get())),
                              xcb_get_property_value_length(cls.get()));
        if (!QString::fromLatin1(text).contains(windowClass, Qt::CaseInsensitive))
            continue;
        Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr),
                                          &std::free);
        Reply<xcb_translate_coordinates_reply_t> at(
            xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr),
            &std::free);
        if (g && at)
            found.emplace_back(at->dst_x, at->dst_y, g->width, g->height);
    }
    return found;
}

QRect serverClientFrame(xcb_window_t client) {
    xcb_connection_t* c = desktop().connection();
    Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, xcb_get_geometry(c, client), nullptr),
                                      &std::free);
    Reply<xcb_translate_coordinates_reply_t> at(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, client, desktop().rootWindow(), 0, 0),
                                        nullptr),
        &std::free);
    if (!g || !at)
        return {};
    const std::vector<uint32_t> extents = windowProperty(client, "_NET_FRAME_EXTENTS");
    const QMargins frame = extents.size() == 4
                               ? QMargins(static_cast<int>(extents[0]), static_cast<int>(extents[2]),
                                          static_cast<int>(extents[1]), static_cast<int>(extents[3]))
                               : QMargins();
    return QRect(at->dst_x, at->dst_y, g->width, g->height).marginsAdded(frame);
}

QString describe(const QRect& r) {
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool serverFrameLandsOn(xcb_window_t client, const QRect& expected, int waitMs) {
    const bool landed = QTest::qWaitFor([&] { return serverFrame(client) == expected; }, waitMs);
    if (!landed)
        ADD_FAILURE() << "frame " << describe(serverFrame(client)).toStdString() << ", expected "
                      << describe(expected).toStdString();
    return landed;
}

bool waitUntilFramed(xcb_window_t client, int waitMs) {
    constexpr uint32_t normalState = 1;
    return QTest::qWaitFor(
        [&] {
            const std::vector<uint32_t> state = windowProperty(client, "WM_STATE");
            return !state.empty() && state.front() == normalState && serverFrame(client).isValid();
        },
        waitMs);
}

std::vector<uint32_t> windowProperty(xcb_window_t window, const char* name) {
    xcb_connection_t* c = desktop().connection();
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, desktop().atom(name), XCB_ATOM_ANY, 0, 1 << 16), nullptr),
        &std::free);
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

bool hasState(xcb_window_t window, const char* state) {
    const std::vector<uint32_t> states = windowProperty(window, "_NET_WM_STATE");
    return std::find(states.begin(), states.end(), desktop().atom(state)) != states.end();
}

bool isClient(xcb_window_t window) {
    const std::vector<uint32_t> clients = windowProperty(desktop().rootWindow(), "_NET_CLIENT_LIST");
    return std::find(clients.begin(), clients.end(), window) != clients.end();
}

bool isWithdrawn(xcb_window_t window) {
    xcb_connection_t* c = desktop().connection();
    const auto unmapped = [c](xcb_window_t w) {
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr), &std::free);
        return !attributes || attributes->map_state == XCB_MAP_STATE_UNMAPPED;
    };
    if (!unmapped(window))
        return false;
    const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr),
                                             &std::free);
    return !tree || tree->parent == tree->root || unmapped(tree->parent);
}

void askWindowManager(xcb_window_t window, const char* message, std::vector<uint32_t> data) {
    xcb_connection_t* c = desktop().connection();
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = desktop().atom(message);
    for (size_t i = 0; i < data.size() && i < 5; ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(c, 0, desktop().rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

bool isFreeOnServer(xcb_keycode_t keycode, uint16_t modifiers) {
    xcb_connection_t* c = desktop().connection();
    // Taken and given back in one batch, which the server runs back to back: held any longer (a
    // loaded machine can leave the probe between the answer and the giving back), the probe would
    // make the product's own grab of the combination fail, and the product refuse its hot key.
    // Giving back a grab the probe never got changes nothing.
    const xcb_void_cookie_t grabbed = xcb_grab_key_checked(c, 0, desktop().rootWindow(), modifiers, keycode,
                                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_ungrab_key(c, keycode, desktop().rootWindow(), modifiers);
    if (xcb_generic_error_t* error = xcb_request_check(c, grabbed)) {
        std::free(error);
        return false;
    }
    return true;
}

uint32_t activeWindow() {
    const std::vector<uint32_t> active = windowProperty(desktop().rootWindow(), "_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

QImage serverPicture(xcb_window_t window, int rows) {
    // Read in bands a socket's buffer takes whole. The server sends a reply that does not fit as it
    // goes, moving what is left to the front of its buffer after each part: a screen read in one
    // piece took it 0.8 to 1.6 s beside other tests, in bands of 128 KB 5 to 70 ms. (A
    // picture that changes meanwhile may read as partly old: as changing.)
    constexpr int bandBytes = 128 * 1024;
    xcb_connection_t* c = desktop().connection();
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr), &std::free);
    if (!geometry || geometry->depth != 24 || rows > geometry->height)
        return {};
    const int height = rows < 0 ? geometry->height : rows;
    const int width = geometry->width;
    QImage picture(width, height, QImage::Format_RGB32);
    const int band = std::max(1, bandBytes / (width * 4));
    for (int top = 0; top < height; top += band) {
        const int count = std::min(band, height - top);
        std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
            xcb_get_image_reply(c,
                                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, int16_t(top),
                                              uint16_t(width), uint16_t(count), ~0u),
                                nullptr),
            &std::free);
        if (!reply || xcb_get_image_data_length(reply.get()) < width * count * 4)
            return {};
        const uint8_t* data = xcb_get_image_data(reply.get());
        for (int y = 0; y < count; ++y)
            std::memcpy(picture.scanLine(top + y), data + std::size_t(y) * width * 4, std::size_t(width) * 4);
    }
    return picture;
}

bool waitUntilDrawn(xcb_window_t window, int waitMs) {
    return QTest::qWaitFor([&] { return distinctColours(serverPicture(window), 2) >= 2; }, waitMs);
}

bool isKeyboardFree() {
    xcb_connection_t* c = desktop().connection();
    std::unique_ptr<xcb_grab_keyboard_reply_t, decltype(&std::free)> grabbed(
        xcb_grab_keyboard_reply(c,
                                xcb_grab_keyboard(c, 0, desktop().rootWindow(), XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr),
        &std::free);
    const bool free = grabbed && grabbed->status == XCB_GRAB_STATUS_SUCCESS;
    if (free)
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    xcb_flush(c);
    return free;
}

std::ptrdiff_t stackIndex(xcb_window_t window) {
    const std::vector<uint32_t> stacking =
        windowProperty(desktop().rootWindow(), "_NET_CLIENT_LIST_STACKING");
    return std::find(stacking.begin(), stacking.end(), window) - stacking.begin();
}

} // namespace corvane::testing
