#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QProcess;
class QTemporaryDir;

namespace corvane::testing {

// A top-level window the window manager manages, as listed in the root's client list.
struct ClientWindow {
    xcb_window_t window = XCB_WINDOW_NONE;
    qint64 pid = 0; // 0 when the owner cannot be told
    QString title;
};

// A private X desktop for integration tests: an Xvfb server on a display of its own, openbox on
// a configuration without key bindings, optionally a tray host, and the X programs a test
// launches. Everything it starts is its child and is stopped when it goes, and dies with the
// test process even if that crashes. The constructor throws std::runtime_error when the server
// or the window manager does not come up in time.
class VirtualDesktop {
public:
    VirtualDesktop();
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    // Keeps the logs of the server, the window manager and the programs started here after the
    // desktop goes, and says where they are (for a run that failed).
    void keepLogs();

    // ":N", for DISPLAY.
    QString displayName() const;
    // The X server's process.
    qint64 serverPid() const { return m_serverPid; }
    // The desktop's own X connection, for tests that inspect or drive X directly.
    xcb_connection_t* connection() const { return m_connection; }
    xcb_window_t rootWindow() const { return m_root; }
    xcb_atom_t atom(const char* name) const;

    bool hasWindowManager() const;
    // Stops the window manager, leaves the desktop without one for `away`, then starts it again
    // and waits until it is up. Throws std::runtime_error when it does not come back.
    void restartWindowManager(std::chrono::milliseconds away);
    // Stops the window manager and leaves the desktop without one.
    void stopWindowManager();
    // Starts the window manager (again) and waits until it is up; throws when it does not come.
    void startWindowManagerAgain() { startWindowManager(); }
    // Stops the window manager's process where it stands, or lets it go on with what came
    // meanwhile: a window manager slowed down by a busy machine, at the worst moment.
    void pauseWindowManager(bool paused);
    // Asks the window manager for something it answers in turn (a new window's frame extents) and
    // waits for the answer: whatever it had queued before is done. False when none comes in time.
    bool windowManagerCaughtUp() const;

    // Starts the tray host and waits until it owns the tray selection. False if it does not
    // within the bound.
    bool startTrayHost(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool hasTrayHost() const;

    // Starts an X program on this desktop; it stays owned by the desktop. Its output goes to a
    // log file, not to the test's output.
    QProcess* launch(const QString& program, const QStringList& arguments = {});

    // The managed client windows, in the window manager's order.
    std::vector<ClientWindow> clientWindows() const;
    // Polls the client list every 20 ms until a window matches, or the bound passes.
    std::optional<ClientWindow>
    waitForClientWindow(const std::function<bool(const ClientWindow&)>& matches,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    std::optional<ClientWindow>
    waitForClientWindow(qint64 pid, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // The windows on the screen that the window manager does not manage (override-redirect).
    std::vector<ClientWindow> unmanagedWindows() const;
    // Polls the client list and the unmanaged windows on the screen until a window matches.
    std::optional<ClientWindow>
    waitForShownWindow(const std::function<bool(const ClientWindow&)>& matches,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    QProcess* startChild(const QString& logName, const QString& program, const QStringList& arguments);
    void stopChild(QProcess& process);
    void shutdown();
    void connectToServer();
    void waitForWindowManager();
    bool managesNewWindows() const;
    void startWindowManager();
    qint64 pidOf(xcb_window_t window) const;
    QString titleOf(xcb_window_t window) const;
    std::vector<quint32> cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    QString logTail(const QString& logName) const;

    std::unique_ptr<QTemporaryDir> m_logs;
    // In start order; stopped in reverse, so programs go before the window manager and the server.
    std::vector<std::unique_ptr<QProcess>> m_children;
    qint64 m_serverPid = 0;
    QProcess* m_trayHost = nullptr;
    int m_display = -1;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    int m_launched = 0;
};

} // namespace corvane::testing
