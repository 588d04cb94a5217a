#pragma once

#include "platform/SleepWake.h"

namespace corvane {

// Sleep, wake, the screen saver and session switches delivered when the test says so.
class FakeSleepWake final : public SleepWake {
    Q_OBJECT
public:
    void emitWillSleep() { setMachineAsleep(true); }
    void emitDidWake() { setMachineAsleep(false); }
    void setScreenSaverActive(bool on) { setScreenSaverOn(on); }
    void emitSessionDidResignActive() { Q_EMIT sessionDidResignActive(); }
    void emitSessionDidBecomeActive() { Q_EMIT sessionDidBecomeActive(); }
};

} // namespace corvane
