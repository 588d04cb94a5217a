#include "platform/x11/X11Connection.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <xcb/res.h>
#include <xcb/xinput.h>

#include <cstring>

namespace corvane {

namespace {

constexpr const char* kAtomNames[] = {
    "_NET_SUPPORTING_WM_CHECK",
    "_NET_CLIENT_LIST",
    "_NET_CLIENT_LIST_STACKING",
    "_NET_ACTIVE_WINDOW",
    "_NET_CURRENT_DESKTOP",
    "_NET_WM_DESKTOP",
    "_NET_WM_PID",
    "_NET_WM_NAME",
    "UTF8_STRING",
    "_NET_WM_STATE",
    "_NET_WM_STATE_HIDDEN",
    "_NET_WM_WINDOW_TYPE",
    "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_WINDOW_TYPE_DIALOG",
    "_NET_WM_WINDOW_TYPE_UTILITY",
    "_NET_WM_WINDOW_TYPE_TOOLBAR",
    "_NET_WM_WINDOW_TYPE_MENU",
    "_NET_WM_WINDOW_TYPE_SPLASH",
    "_NET_WM_WINDOW_TYPE_DOCK",
    "_NET_WM_WINDOW_TYPE_DESKTOP",
    "_NET_WM_WINDOW_TYPE_NOTIFICATION",
    "_NET_FRAME_EXTENTS",
    "_GTK_FRAME_EXTENTS",
    "_NET_MOVERESIZE_WINDOW",
    "_NET_RESTACK_WINDOW",
    "_NET_CLOSE_WINDOW",
    "WM_CHANGE_STATE",
    "_NET_WM_WINDOW_OPACITY",
    "_GTK_APPLICATION_ID",
    "_KDE_NET_WM_DESKTOP_FILE",
    "_NET_WM_STATE_FULLSCREEN",
    "_NET_WM_STATE_MAXIMIZED_VERT",
    "_NET_WM_STATE_MAXIMIZED_HORZ",
    "_NET_REQUEST_FRAME_EXTENTS",
};
static_assert(std::size(kAtomNames) == static_cast<size_t>(X11Atom::count));

} // namespace

std::vector<uint32_t> X11Property::values32() const {
    std::vector<uint32_t> values;
    if (format != 32)
        return values;
    values.resize(static_cast<size_t>(data.size()) / sizeof(uint32_t));
    // An empty property has no data to copy from (a null pointer memcpy may not be given).
    if (!values.empty())
        std::memcpy(values.data(), data.constData(), values.size() * sizeof(uint32_t));
    return values;
}

QString X11Property::text() const {
    if (format != 8)
        return {};
    const qsizetype end = data.indexOf('\0');
    const QByteArray bytes = end < 0 ? data : data.left(end);
    return type == XCB_ATOM_STRING ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

std::vector<QByteArray> X11Property::strings() const {
    std::vector<QByteArray> items;
    if (format != 8)
        return items;
    for (const QByteArray& item : data.split('\0'))
        items.push_back(item);
    // A terminating NUL leaves an empty item behind.
    if (!items.empty() && items.back().isEmpty())
        items.pop_back();
    return items;
}

std::optional<uint8_t> inputExtensionOpcode(xcb_connection_t* connection, uint16_t askedMinor,
                                            uint16_t neededMinor) {
    const xcb_query_extension_reply_t* input = xcb_get_extension_data(connection, &xcb_input_id);
    if (!input || !input->present)
        return std::nullopt;
    X11Reply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
        connection, xcb_input_xi_query_version(connection, 2, askedMinor), nullptr));
    if (!version || version->major_version < 2 ||
        (version->major_version == 2 && version->minor_version < neededMinor))
        return std::nullopt;
    return input->major_opcode;
}

X11Display openDisplay(const QByteArray& displayName) {
    X11Display display;
    int screenNumber = 0;
    display.connection =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(display.connection))
        return display;
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(display.connection));
    for (int i = 0; i < screenNumber && roots.rem; ++i)
        xcb_screen_next(&roots);
    if (roots.rem)
        display.root = roots.data->root;
    return display;
}

X11Connection::X11Connection(const QByteArray& displayName, X11Atoms atoms) {
    const X11Display display = openDisplay(displayName);
    m_connection = display.connection;
    if (!isValid())
        return;
    m_root = display.root;
    if (atoms == X11Atoms::none)
        return;

    std::array<xcb_intern_atom_cookie_t, static_cast<size_t>(X11Atom::count)> cookies{};
    for (size_t i = 0; i < cookies.size(); ++i)
        cookies[i] = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(kAtomNames[i])),
                                     kAtomNames[i]);
    for (size_t i = 0; i < cookies.size(); ++i) {
        X11Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookies[i], nullptr));
        m_atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }
    const xcb_query_extension_reply_t* res = xcb_get_extension_data(m_connection, &xcb_res_id);
    if (res && res->present) {
        X11Reply<xcb_res_query_version_reply_t> version(
            xcb_res_query_version_reply(m_connection, xcb_res_query_version(m_connection, 1, 2), nullptr));
        m_hasResourceExtension = version && (version->server_major > 1 ||
                                             (version->server_major == 1 && version->server_minor >= 2));
    }
}

X11Connection::~X11Connection() {
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11Connection::isValid() const {
    return m_connection && !xcb_connection_has_error(m_connection);
}

std::optional<X11Property> X11Connection::property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                                   uint32_t maxItems) {
    if (!isValid() || property == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_generic_error_t* error = nullptr;
    X11Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, property, type, 0, maxItems), &error));
    std::free(error);
    if (!reply)
        return std::nullopt;
    X11Property result;
    result.type = reply->type;
    result.format = reply->format;
    // The value's length is given in bytes, whatever the format.
    result.data = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
    return result;
}

std::vector<uint32_t> X11Connection::rootValues(X11Atom which) {
    const std::optional<X11Property> value = property(m_root, atom(which));
    return value ? value->values32() : std::vector<uint32_t>{};
}

std::optional<uint32_t> X11Connection::rootValue(X11Atom which) {
    const std::vector<uint32_t> values = rootValues(which);
    if (values.empty())
        return std::nullopt;
    return values.front();
}

bool X11Connection::windowExists(xcb_window_t window) {
    if (!isValid() || window == XCB_WINDOW_NONE)
        return false;
    xcb_generic_error_t* error = nullptr;
    X11Reply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), &error));
    std::free(error);
    return reply != nullptr;
}

void X11Connection::sendToRoot(xcb_window_t window, X11Atom type, std::array<uint32_t, 5> data) {
    if (!isValid())
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(type);
    for (size_t i = 0; i < data.size(); ++i)
        event.data.data32[i] = data[i];
    // The window manager hears these through its redirect on the root.
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void X11Connection::flush() {
    if (isValid())
        xcb_flush(m_connection);
}

xcb_timestamp_t X11Connection::serverTime(const std::function<void(const xcb_generic_event_t&)>& others) {
    if (!isValid())
        return XCB_CURRENT_TIME;
    if (m_timeWindow == XCB_WINDOW_NONE) {
        m_timeWindow = xcb_generate_id(m_connection);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_timeWindow, m_root, -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    }
    // An empty append changes nothing but still reports the change, stamped with the server's time.
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_timeWindow, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                        8, 0, nullptr);
    xcb_flush(m_connection);
    while (xcb_generic_event_t* event = xcb_wait_for_event(m_connection)) {
        X11Reply<xcb_generic_event_t> owned(event);
        if (x11EventType(*event) == XCB_PROPERTY_NOTIFY) {
            auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (notify->window == m_timeWindow)
                return notify->time;
        }
        if (others)
            others(*event);
    }
    return XCB_CURRENT_TIME;
}

double primaryScreenPixelRatio() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return 1.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1.0;
}

} // namespace corvane
