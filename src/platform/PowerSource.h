#pragma once

namespace corvane {

// How the machine is powered, as the system last reported it. Main thread; the answers come
// from a cache that the system keeps current, so asking never blocks. Without the system's
// services the machine reads as on mains power with no power saving.
class PowerSource {
public:
    virtual ~PowerSource() = default;
    virtual bool isOnBattery() const = 0;
    // The user's power-saving profile is on.
    virtual bool isPowerSaverOn() const = 0;
};

} // namespace corvane
