#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace corvane {

// The pointing devices attached to the display, and each one's own scroll direction ("natural"
// scrolling on or off). The setting lives in the display server, not in this process: it outlives
// the process, and a device plugged in later starts with its driver's default. Main thread.
class PointerDevices : public QObject {
    Q_OBJECT
public:
    struct Device {
        int id = 0;
        QString name;
        bool isTouchpad = false;
        // The device's natural-scrolling setting; none when its driver offers no such setting.
        std::optional<bool> naturalScrolling;
    };

    using QObject::QObject;
    ~PointerDevices() override = default;

    // The physical pointing devices now attached (keyboards and the server's virtual devices left out).
    virtual std::vector<Device> devices() const = 0;
    // Sets a device's natural scrolling; false when the device is gone or has no such setting.
    virtual bool setNaturalScrolling(int deviceID, bool natural) = 0;

Q_SIGNALS:
    // A device was attached or removed.
    void devicesChanged();
};

} // namespace corvane
