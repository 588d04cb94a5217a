#include "platform/SleepWake.h"

namespace corvane {

void SleepWake::setMachineAsleep(bool asleep) {
    const bool wereAsleep = displaysAsleep();
    m_machineAsleep = asleep;
    tellDisplays(wereAsleep);
}

void SleepWake::setScreenSaverOn(bool on) {
    const bool wereAsleep = displaysAsleep();
    m_screenSaverOn = on;
    tellDisplays(wereAsleep);
}

void SleepWake::tellDisplays(bool wereAsleep) {
    if (displaysAsleep() == wereAsleep)
        return;
    if (wereAsleep)
        Q_EMIT displaysDidWake();
    else
        Q_EMIT displaysDidSleep();
}

} // namespace corvane
