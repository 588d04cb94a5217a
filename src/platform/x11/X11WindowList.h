#pragma once

#include "platform/WindowList.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ProgramIdentity.h"

#include <QByteArray>

#include <memory>
#include <mutex>

namespace corvane {

// The window manager's stacking list of client windows, front to back, keeping those shown on
// the current desktop (or on all). Callable from any thread: calls take turns on one connection.
// Built on the main thread, where the pixel ratio is read.
class X11WindowList final : public WindowList {
public:
    explicit X11WindowList(QByteArray displayName = {});
    ~X11WindowList() override;

    std::vector<WindowListEntry> onScreenWindows() override;

private:
    QByteArray m_displayName;
    double m_pixelRatio = 1.0;
    std::mutex m_mutex;
    std::unique_ptr<X11Connection> m_connection;
    X11ProgramIdentities m_identities;
};

} // namespace corvane
