#pragma once

#include "platform/PointerDevices.h"

#include <QByteArray>

#include <xcb/xcb.h>

class QSocketNotifier;

namespace corvane {

// Pointing devices through XInput2 on a connection of their own: the physical pointers the
// server lists, told apart by the input driver's properties (a touchpad is a device that offers
// tapping), and each one's "libinput Natural Scrolling Enabled" property. Devices attached or
// removed arrive as hierarchy events. Without the X input extension the list is empty.
class X11PointerDevices final : public PointerDevices {
    Q_OBJECT
public:
    explicit X11PointerDevices(const QByteArray& displayName = {});
    ~X11PointerDevices() override;

    std::vector<Device> devices() const override;
    bool setNaturalScrolling(int deviceID, bool natural) override;

private:
    void readEvents();
    // The one-byte value of a device property; none when the device lacks it.
    std::optional<uint8_t> byteProperty(int deviceID, xcb_atom_t property) const;
    xcb_atom_t intern(const char* name) const;

    xcb_connection_t* m_connection = nullptr;
    uint8_t m_inputOpcode = 0;
    xcb_atom_t m_natural = XCB_ATOM_NONE;
    xcb_atom_t m_tapping = XCB_ATOM_NONE;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace corvane
