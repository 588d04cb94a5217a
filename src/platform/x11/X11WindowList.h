#pragma once

#include "platform/WindowList.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ProgramIdentity.h"
#include "platform/x11/X11WindowPids.h"

#include <QByteArray>
#include <QHash>

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
    // The name of a process without a desktop entry, kept while it has windows listed.
    QString processName(int32_t pid);

    QByteArray m_displayName;
    double m_pixelRatio = 1.0;
    std::mutex m_mutex;
    std::unique_ptr<X11Connection> m_connection;
    X11ProgramIdentities m_identities;
    X11WindowPids m_pids;
    // A window's class and application id are set before it is mapped and stay while it is
    // managed: resolved once per window, forgotten when it leaves the list.
    QHash<xcb_window_t, X11ProgramIdentity> m_windowIdentities;
    QHash<int32_t, QString> m_processNames;
};

} // namespace corvane
