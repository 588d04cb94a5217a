#pragma once

#include "platform/WindowList.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ProgramIdentity.h"
#include "platform/x11/X11RecentFacts.h"
#include "platform/x11/X11WindowFacts.h"

#include <QByteArray>
#include <QHash>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace corvane {

// The window manager's stacking list of client windows, front to back, keeping those shown on
// the current desktop (or on all). Callable from any thread: calls take turns on one connection.
// Built on the main thread, where the pixel ratio is read.
class X11WindowList final : public WindowList {
public:
    // What the list reads is offered to `recent`'s other readers (the window access layer's sweep).
    explicit X11WindowList(QByteArray displayName = {}, std::shared_ptr<X11RecentFacts> recent = {});
    ~X11WindowList() override;

    std::vector<WindowListEntry> onScreenWindows() override;

private:
    // What the list remembers of a window while it is stacked: its process never changes, and its
    // class and application id are set before it is mapped and stay while it is managed.
    struct KnownWindow {
        int32_t pid = 0; // 0: not known yet, asked again
        std::optional<X11ProgramIdentity> identity;
        bool legacyTitle = false; // no UTF-8 title when last read: the legacy name is asked at once
    };
    // What to ask about a window: what changes, and what is not known yet.
    X11Facts wantedFor(xcb_window_t window) const;
    // The name of a process without a desktop entry, kept while it has windows listed.
    QString processName(int32_t pid);

    QByteArray m_displayName;
    double m_pixelRatio = 1.0;
    std::mutex m_mutex;
    std::unique_ptr<X11Connection> m_connection;
    std::shared_ptr<X11RecentFacts> m_recent;
    X11ProgramIdentities m_identities;
    QHash<xcb_window_t, KnownWindow> m_known;
    std::vector<xcb_window_t> m_lastStacking; // front to back, as last read
    QHash<int32_t, QString> m_processNames;
};

} // namespace corvane
