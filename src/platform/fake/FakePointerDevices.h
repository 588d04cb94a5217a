#pragma once

#include "platform/PointerDevices.h"

#include <algorithm>

namespace corvane {

// A device list the test edits; `plug` and `unplug` announce the change as the server would.
class FakePointerDevices final : public PointerDevices {
public:
    std::vector<Device> devices() const override { return list; }
    bool setNaturalScrolling(int deviceID, bool natural) override {
        for (Device& device : list) {
            if (device.id == deviceID && device.naturalScrolling) {
                device.naturalScrolling = natural;
                return true;
            }
        }
        return false;
    }

    void plug(Device device) {
        list.push_back(std::move(device));
        Q_EMIT devicesChanged();
    }
    void unplug(int deviceID) {
        std::erase_if(list, [deviceID](const Device& device) { return device.id == deviceID; });
        Q_EMIT devicesChanged();
    }
    std::optional<bool> natural(int deviceID) const {
        for (const Device& device : list)
            if (device.id == deviceID)
                return device.naturalScrolling;
        return std::nullopt;
    }

    std::vector<Device> list;
};

} // namespace corvane
