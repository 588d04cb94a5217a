#pragma once

#include <QByteArray>
#include <QObject>

#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

#include <cstdint>

class QSocketNotifier;

namespace corvane {

// The X server's screen saver coming on and going off, told by the MIT-SCREEN-SAVER extension's
// notices on a connection of its own: selected once here, then read on the main thread as they
// come, with no request in between. Without an X server or the extension nothing is ever told.
class X11ScreenSaverWatch final : public QObject {
    Q_OBJECT
public:
    explicit X11ScreenSaverWatch(const QByteArray& displayName = {});
    ~X11ScreenSaverWatch() override;

Q_SIGNALS:
    void changed(bool on);

private:
    void readEvents();

    X11Connection m_x;
    uint8_t m_notifyEvent = 0;
    bool m_on = false;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace corvane
