#pragma once

#include "platform/SleepWake.h"

namespace corvane {

// Sleep, wake and session switches delivered when the test says so.
class FakeSleepWake final : public SleepWake {
    Q_OBJECT
public:
    void emitWillSleep() { Q_EMIT willSleep(); }
    void emitDidWake() { Q_EMIT didWake(); }
    void emitSessionDidResignActive() { Q_EMIT sessionDidResignActive(); }
    void emitSessionDidBecomeActive() { Q_EMIT sessionDidBecomeActive(); }
};

} // namespace corvane
