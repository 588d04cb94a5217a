#pragma once

#include "platform/PowerSource.h"

namespace corvane {

// A power source the test sets directly.
class FakePowerSource final : public PowerSource {
public:
    bool isOnBattery() const override { return onBattery; }
    bool isPowerSaverOn() const override { return powerSaver; }

    bool onBattery = false;
    bool powerSaver = false;
};

} // namespace corvane
