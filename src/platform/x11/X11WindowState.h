#pragma once

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowFacts.h"

#include <QByteArray>
#include <QHash>
#include <QMargins>
#include <QSet>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QObject;
class QSocketNotifier;

namespace corvane {

// One managed client window as the state holds it.
struct X11HeldWindow {
    X11WindowFacts facts;
    // Bumped whenever the window's process or identity is read again, so that what is derived
    // from them (the owner's name) can be kept until then.
    uint64_t identityVersion = 0;

    // --- Kept by the state. ---
    X11Facts stale;                       // groups changed since they were read
    bool treeKnown = false;               // whether `frame` is known
    xcb_window_t frame = XCB_WINDOW_NONE; // the parent, when it is a top-level window of the root
    bool followed = false;                // the client area's origin follows from events
    QPoint frameOrigin;                   // the parent's inside origin in root coordinates
};

// What the state holds: the window manager's root properties and every listed client window.
struct X11HeldWindows {
    X11Connection* connection = nullptr; // none: no display
    std::vector<xcb_window_t> clients;   // _NET_CLIENT_LIST, oldest first
    std::vector<xcb_window_t> stacking;  // _NET_CLIENT_LIST_STACKING, bottom to top
    xcb_window_t active = XCB_WINDOW_NONE;
    std::optional<uint32_t> currentDesktop;
    QHash<xcb_window_t, X11HeldWindow> windows;
    // The listed windows of each process, in client-list order.
    QHash<int32_t, std::vector<xcb_window_t>> clientsOfProcess;

    // The window's facts; none when it is not listed.
    const X11WindowFacts* facts(xcb_window_t window) const {
        const auto found = windows.constFind(window);
        return found == windows.constEnd() ? nullptr : &found->facts;
    }
};

// The managed windows, kept current from the events the server sends anyway: property changes
// on the root (the client lists, the active window, the current desktop) and on every listed
// window, and the structure changes of each window and of the frame around it. Bringing the
// state up to date reads only what changed since, in one batch; while nothing changes it costs
// nothing but the events themselves.
//
// It owns its connection; callers on any thread take turns through `use`, which is where writes
// are sent too, so that they leave in order. Built on the main thread, where the pixel ratio is
// read and where events arriving between uses are taken in as they come.
class X11WindowState {
public:
    // How current the state must be before it is used.
    enum class Catch {
        // A round trip first, so that every change the server has made by now is in.
        settled,
        // Only what has arrived: no round trip while the windows in question did not change.
        arrived,
    };

    explicit X11WindowState(QByteArray displayName = {});
    ~X11WindowState();
    X11WindowState(const X11WindowState&) = delete;
    X11WindowState& operator=(const X11WindowState&) = delete;

    double pixelRatio() const { return m_pixelRatio; }

    // Runs `use` on the state brought up to date, holding it for the time of the call.
    template <typename F> auto use(Catch catchUp, F&& use) {
        std::lock_guard lock(m_mutex);
        X11HeldWindows& held = update(catchUp);
        return use(held);
    }

    // A number that moves on with each event taken in, every one of which tells of a change to
    // what the state holds; the events already on the socket are taken in first. None without a
    // connection, or while another thread holds the state.
    std::optional<uint64_t> changeCount();

    // The server's time, for requests that carry one; events meanwhile are taken in.
    xcb_timestamp_t serverTime(X11HeldWindows& held);

    // Asks the window manager for an answer it gives in turn, once it has dealt with everything
    // sent on the state's connection before (the frame extents it would give a window of the
    // state's own), and gives the ticket `answered` takes. Call within `use`.
    uint64_t askWindowManager(X11HeldWindows& held);
    // Whether the answer has come in. Call within `use`.
    bool answered(uint64_t ticket) const { return m_answers >= ticket; }
    // The frame extents in the window manager's last such answer: those of a window that is
    // neither maximised nor undecorated. None before the first answer. Call within `use`.
    std::optional<QMargins> usualFrameExtents(X11HeldWindows& held);

    // Waits without holding the state until the server sends more, or a few milliseconds, never
    // past `until`; the next use takes in what came. Another thread may take the events in
    // first, so a caller looks again after each wait.
    void awaitEvents(std::chrono::steady_clock::time_point until);

    // Runs `changed` on the main thread soon after the active window or a window's state changed,
    // once for a burst of such changes, whichever thread took the events in. An empty function
    // stops it. Each `watcher` (any address that names it) has one such function. Call on the
    // main thread.
    void watchActive(std::function<void()> changed, const void* watcher = nullptr);

private:
    X11HeldWindows& update(Catch catchUp);
    void open();
    void watchConnection();
    // Takes in the events already read off the connection, or also those waiting on it.
    void takeEvents(bool readSocket);
    void takeEvent(const xcb_generic_event_t& event);
    void rootChanged(xcb_atom_t property);
    void windowChanged(xcb_window_t window, xcb_atom_t property);
    void configured(const xcb_configure_notify_event_t& event);
    void answerCame(const xcb_property_notify_event_t& event);
    void readRoot();
    void listClients(const std::vector<xcb_window_t>& clients);
    void readStaleWindows();
    void readTrees(const std::vector<xcb_window_t>& windows);
    void indexProcesses();
    // Stops following the window's frame; its origin is read when it reports a change.
    void unfollowFrame(xcb_window_t window);
    void markStale(QHash<xcb_window_t, X11HeldWindow>::iterator held, X11Facts facts);
    void forget(xcb_window_t window);
    // The active window or a window's state changed: tells the watcher, on the main thread.
    void activeChanged();

    QByteArray m_displayName;
    double m_pixelRatio = 1.0;
    std::mutex m_mutex;
    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<QSocketNotifier> m_notifier;
    X11HeldWindows m_held;
    // Root properties changed since read.
    bool m_processesStale = true; // `clientsOfProcess` is to be made again
    bool m_clientsStale = true, m_stackingStale = true, m_activeStale = true, m_desktopStale = true;
    QHash<xcb_window_t, xcb_window_t> m_clientOfFrame;
    // Windows with stale facts, and windows whose place in the tree is to be read.
    QSet<xcb_window_t> m_stale, m_unknownTrees;
    // The watchers of the active window, and what their queued notices are bound to (they go
    // with it).
    std::map<const void*, std::function<void()>> m_activeWatchers;
    std::unique_ptr<QObject> m_noticeContext;
    bool m_noticePending = false;
    // The window the window manager is asked about to tell when it has caught up, and the
    // number of questions asked and answered on it.
    xcb_window_t m_probe = XCB_WINDOW_NONE;
    uint64_t m_questions = 0, m_answers = 0;
    uint64_t m_changes = 0;
};

} // namespace corvane
