#pragma once

#include <QObject>

namespace corvane {

// The machine going to sleep and waking, and this user's session losing and regaining the
// screen (another user switched in, then out). Notifications arrive on the main thread. Without
// the system's services none ever arrives: the machine reads as awake.
class SleepWake : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void willSleep();
    void didWake();
    void sessionDidResignActive();
    void sessionDidBecomeActive();
};

} // namespace corvane
