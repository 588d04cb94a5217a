#include "platform/x11/X11PointerDevices.h"

#include "platform/x11/X11Connection.h"

#include <QSocketNotifier>

#include <xcb/xinput.h>

#include <cstring>

namespace corvane {

X11PointerDevices::X11PointerDevices(const QByteArray& displayName) {
    const X11Display display = openDisplay(displayName);
    m_connection = display.connection;
    if (xcb_connection_has_error(m_connection) || display.root == XCB_WINDOW_NONE)
        return;
    const std::optional<uint8_t> opcode = inputExtensionOpcode(m_connection, 0, 0);
    if (!opcode)
        return;
    m_inputOpcode = *opcode;
    m_natural = intern("libinput Natural Scrolling Enabled");
    m_tapping = intern("libinput Tapping Enabled");

    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } selection{{XCB_INPUT_DEVICE_ALL, 1}, XCB_INPUT_XI_EVENT_MASK_HIERARCHY};
    xcb_input_xi_select_events(m_connection, display.root, 1, &selection.head);
    xcb_flush(m_connection);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11PointerDevices::readEvents);
}

X11PointerDevices::~X11PointerDevices() {
    delete m_notifier;
    if (m_connection)
        xcb_disconnect(m_connection);
}

xcb_atom_t X11PointerDevices::intern(const char* name) const {
    // Only if it exists: a server without the driver has no such property anywhere.
    X11Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 1, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::optional<uint8_t> X11PointerDevices::byteProperty(int deviceID, xcb_atom_t property) const {
    if (property == XCB_ATOM_NONE)
        return std::nullopt;
    X11Reply<xcb_input_xi_get_property_reply_t> reply(xcb_input_xi_get_property_reply(
        m_connection,
        xcb_input_xi_get_property(m_connection, static_cast<xcb_input_device_id_t>(deviceID), 0, property,
                                  XCB_ATOM_ANY, 0, 1),
        nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8 || reply->num_items < 1)
        return std::nullopt;
    return *static_cast<const uint8_t*>(xcb_input_xi_get_property_items(reply.get()));
}

std::vector<PointerDevices::Device> X11PointerDevices::devices() const {
    std::vector<Device> result;
    if (m_inputOpcode == 0)
        return result;
    X11Reply<xcb_input_xi_query_device_reply_t> reply(xcb_input_xi_query_device_reply(
        m_connection, xcb_input_xi_query_device(m_connection, XCB_INPUT_DEVICE_ALL), nullptr));
    if (!reply)
        return result;
    for (auto it = xcb_input_xi_query_device_infos_iterator(reply.get()); it.rem;
         xcb_input_xi_device_info_next(&it)) {
        const xcb_input_xi_device_info_t* info = it.data;
        if (info->type != XCB_INPUT_DEVICE_TYPE_SLAVE_POINTER)
            continue;
        const QString name = QString::fromUtf8(xcb_input_xi_device_info_name(info),
                                               xcb_input_xi_device_info_name_length(info));
        // The server's own device for synthesised input is no one's mouse.
        if (name.contains(QLatin1String("XTEST")))
            continue;
        Device device;
        device.id = info->deviceid;
        device.name = name;
        device.isTouchpad = byteProperty(info->deviceid, m_tapping).has_value();
        if (const auto natural = byteProperty(info->deviceid, m_natural))
            device.naturalScrolling = *natural != 0;
        result.push_back(std::move(device));
    }
    return result;
}

bool X11PointerDevices::setNaturalScrolling(int deviceID, bool natural) {
    if (!byteProperty(deviceID, m_natural))
        return false;
    const uint8_t value = natural ? 1 : 0;
    X11Reply<xcb_generic_error_t> error(xcb_request_check(
        m_connection, xcb_input_xi_change_property_checked(
                          m_connection, static_cast<xcb_input_device_id_t>(deviceID), XCB_PROP_MODE_REPLACE,
                          8, m_natural, XCB_ATOM_INTEGER, 1, &value)));
    return !error;
}

void X11PointerDevices::readEvents() {
    bool changed = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if (x11EventType(*event) == XCB_GE_GENERIC) {
            const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
            if (generic->extension == m_inputOpcode && generic->event_type == XCB_INPUT_HIERARCHY)
                changed = true;
        }
        std::free(event);
    }
    if (changed)
        Q_EMIT devicesChanged();
}

} // namespace corvane
