#pragma once

#include <QObject>

namespace corvane {

// The displays going dark and coming back, and this user's session losing and regaining the
// screen (another user switched in, then out). The displays sleep while the machine sleeps or
// the screen saver is on. Notifications arrive on the main thread. Without the system's services
// none ever arrives: the displays read as awake.
class SleepWake : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void displaysDidSleep();
    void displaysDidWake();
    void sessionDidResignActive();
    void sessionDidBecomeActive();

protected:
    // What darkens the displays, as each source tells it; the displays' notifications follow
    // the two together.
    void setMachineAsleep(bool asleep);
    void setScreenSaverOn(bool on);

private:
    bool displaysAsleep() const { return m_machineAsleep || m_screenSaverOn; }
    void tellDisplays(bool wereAsleep);

    bool m_machineAsleep = false;
    bool m_screenSaverOn = false;
};

} // namespace corvane
