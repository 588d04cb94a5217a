#pragma once

#include "platform/RunningApplications.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ProgramIdentity.h"

#include <QByteArray>
#include <QHash>

#include <chrono>
#include <memory>

class QSocketNotifier;

namespace corvane {

// The programs behind the client windows the window manager lists. Watches the root window on a
// connection of its own: the client list (launches and exits), the active window (activations)
// and the current desktop. Main thread only.
class X11RunningApplications final : public RunningApplications {
    Q_OBJECT
public:
    explicit X11RunningApplications(QByteArray displayName = {});
    ~X11RunningApplications() override;

    std::optional<RunningApplication> application(int32_t pid) override;
    std::vector<RunningApplication> runningApplications() override;
    std::optional<int32_t> frontmostApplicationPID() override;
    std::optional<int32_t> reportedFrontmostApplicationPID() override;
    bool activate(int32_t pid) override;
    // X11 has no program-level hiding: hiding minimises the program's shown windows, and showing
    // it again restores exactly those. The program counts as hidden while such windows remain.
    void hide(int32_t pid) override;
    void unhide(int32_t pid) override;

private:
    void readEvents();
    // Notes what a root property change means for us; true when it concerns us.
    void note(const xcb_generic_event_t& event);
    // Replies read by our own requests can pull events off the socket into xcb's queue, where
    // the socket notifier never sees them: take them out and handle them on the next turn.
    void takeQueuedEvents();
    void handleNoted();
    // Re-reads the client list; with `announce`, reports the programs that came and went.
    void refreshClients(bool announce);
    void refreshActive(bool announce);
    // The programs with these pids, described from their windows in one round trip.
    std::vector<RunningApplication> describe(const std::vector<int32_t>& pids);
    // Maps a window unhide() found still mapped, now that the window manager has unmapped it.
    void mapOnceUnmapped(xcb_window_t window);
    void stopWatching(xcb_window_t window);

    std::unique_ptr<X11Connection> m_connection;
    QSocketNotifier* m_notifier = nullptr;
    X11ProgramIdentities m_identities;
    std::vector<xcb_window_t> m_clients;       // in client-list order
    QHash<xcb_window_t, int32_t> m_windowPids; // a window's process never changes
    // What names a window's program and tells its kind, read once per window: set before the
    // window is mapped and kept while it is managed. Forgotten when it leaves the client list.
    QHash<xcb_window_t, X11WindowFacts> m_windowTraits;
    std::vector<int32_t> m_pids; // in order of their first window
    std::optional<int32_t> m_activePid;
    // What hide() minimised, per program, and when it last asked.
    struct Hidden {
        std::vector<xcb_window_t> windows;
        std::chrono::steady_clock::time_point at;
    };
    QHash<int32_t, Hidden> m_hidden;
    // Windows to show again once the window manager unmaps them, with when that was asked.
    QHash<xcb_window_t, std::chrono::steady_clock::time_point> m_showOnUnmap;
    // How long a window manager may take to minimise a window it was asked to.
    static constexpr std::chrono::seconds minimisingPatience{2};
    bool m_clientsChanged = false, m_activeChanged = false, m_desktopChanged = false;
    bool m_handlingScheduled = false;
};

} // namespace corvane
