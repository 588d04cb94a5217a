#include "platform/x11/X11RunningApplications.h"

#include "platform/x11/X11WindowFacts.h"

#include <QSocketNotifier>

#include <algorithm>

namespace corvane {

X11RunningApplications::X11RunningApplications(QByteArray displayName)
    : m_connection(std::make_unique<X11Connection>(displayName)) {
    if (!m_connection->isValid())
        return;
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection->raw(), m_connection->root(), XCB_CW_EVENT_MASK, &mask);
    m_connection->flush();
    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(m_connection->raw()), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11RunningApplications::readEvents);
    refreshClients(false);
    refreshActive(false);
    takeQueuedEvents();
}

X11RunningApplications::~X11RunningApplications() = default;

void X11RunningApplications::note(const xcb_generic_event_t& event) {
    if (x11EventType(event) == XCB_UNMAP_NOTIFY) {
        mapOnceUnmapped(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
        return;
    }
    if (x11EventType(event) != XCB_PROPERTY_NOTIFY)
        return;
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    const X11Connection& c = *m_connection;
    if (notify.window != c.root())
        return;
    m_clientsChanged |= notify.atom == c.atom(X11Atom::netClientList);
    m_activeChanged |= notify.atom == c.atom(X11Atom::netActiveWindow);
    m_desktopChanged |= notify.atom == c.atom(X11Atom::netCurrentDesktop);
}

void X11RunningApplications::readEvents() {
    X11Connection& c = *m_connection;
    while (c.isValid()) {
        X11Reply<xcb_generic_event_t> event(xcb_poll_for_event(c.raw()));
        if (!event)
            break;
        note(*event);
    }
    if (!c.isValid() && m_notifier) {
        // The server went away: nothing more will come.
        m_notifier->setEnabled(false);
        return;
    }
    handleNoted();
}

void X11RunningApplications::handleNoted() {
    // Handling reads replies, which may queue further events; go round until none is left.
    while (m_clientsChanged || m_activeChanged || m_desktopChanged) {
        const bool clients = std::exchange(m_clientsChanged, false);
        const bool active = std::exchange(m_activeChanged, false);
        const bool desktop = std::exchange(m_desktopChanged, false);
        if (clients)
            refreshClients(true);
        if (active || clients)
            refreshActive(true);
        if (desktop)
            Q_EMIT activeSpaceChanged();
        while (m_connection->isValid()) {
            X11Reply<xcb_generic_event_t> event(xcb_poll_for_queued_event(m_connection->raw()));
            if (!event)
                break;
            note(*event);
        }
    }
}

void X11RunningApplications::takeQueuedEvents() {
    while (m_connection->isValid()) {
        X11Reply<xcb_generic_event_t> event(xcb_poll_for_queued_event(m_connection->raw()));
        if (!event)
            break;
        note(*event);
    }
    if ((m_clientsChanged || m_activeChanged || m_desktopChanged) && !m_handlingScheduled) {
        m_handlingScheduled = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_handlingScheduled = false;
                handleNoted();
            },
            Qt::QueuedConnection);
    }
}

void X11RunningApplications::refreshClients(bool announce) {
    X11Connection& c = *m_connection;
    const std::optional<X11Property> list =
        c.property(c.root(), c.atom(X11Atom::netClientList), XCB_ATOM_WINDOW);
    if (!list)
        return;
    m_clients = list->values32();

    std::vector<xcb_window_t> unknown;
    for (xcb_window_t window : m_clients)
        if (!m_windowPids.contains(window))
            unknown.push_back(window);
    const std::vector<int32_t> pids = readWindowPids(c, unknown);
    for (size_t i = 0; i < unknown.size(); ++i)
        m_windowPids.insert(unknown[i], pids[i]);
    QHash<xcb_window_t, int32_t> kept;
    std::vector<int32_t> current;
    for (xcb_window_t window : m_clients) {
        const int32_t pid = m_windowPids.value(window);
        kept.insert(window, pid);
        if (pid > 0 && std::find(current.begin(), current.end(), pid) == current.end())
            current.push_back(pid);
    }
    m_windowPids = std::move(kept);
    m_windowTraits.removeIf([this](QHash<xcb_window_t, X11WindowFacts>::iterator known) {
        return !m_windowPids.contains(known.key());
    });
    m_showOnUnmap.removeIf(
        [this](QHash<xcb_window_t, std::chrono::steady_clock::time_point>::iterator waiting) {
            return !m_windowPids.contains(waiting.key());
        });

    const std::vector<int32_t> previous = std::exchange(m_pids, current);
    if (!announce)
        return;
    for (int32_t pid : previous)
        if (std::find(current.begin(), current.end(), pid) == current.end())
            Q_EMIT applicationTerminated(pid);
    for (int32_t pid : current)
        if (std::find(previous.begin(), previous.end(), pid) == previous.end())
            Q_EMIT applicationLaunched(pid);
}

void X11RunningApplications::refreshActive(bool announce) {
    X11Connection& c = *m_connection;
    const uint32_t active = c.rootValue(X11Atom::netActiveWindow).value_or(XCB_WINDOW_NONE);
    std::optional<int32_t> pid;
    if (active != XCB_WINDOW_NONE) {
        const int32_t owner =
            m_windowPids.contains(active) ? m_windowPids.value(active) : readWindowPids(c, {active}).front();
        if (owner > 0)
            pid = owner;
    }
    if (pid == m_activePid)
        return;
    m_activePid = pid;
    // Describe the newly active program now, while nothing waits on it, so that naming it later
    // (as the source of a copy) is answered from what is kept.
    if (announce && pid)
        describe({*pid});
    if (announce && pid)
        Q_EMIT applicationActivated(*pid);
}

std::vector<RunningApplication> X11RunningApplications::describe(const std::vector<int32_t>& pids) {
    QHash<int32_t, size_t> slots;
    for (size_t i = 0; i < pids.size(); ++i)
        slots.insert(pids[i], i);
    std::vector<xcb_window_t> windows;
    for (xcb_window_t window : m_clients)
        if (slots.contains(m_windowPids.value(window)))
            windows.push_back(window);

    // The windows met for the first time, in one round trip.
    std::vector<xcb_window_t> unread;
    for (xcb_window_t window : windows)
        if (!m_windowTraits.contains(window))
            unread.push_back(window);
    const X11Facts describing = X11Facts(X11Fact::state) | X11Fact::identity;
    for (X11WindowFacts& f : readWindowFacts(*m_connection, unread, describing))
        if (f.alive)
            m_windowTraits.insert(f.window, std::move(f));

    std::vector<RunningApplication> apps(pids.size());
    std::vector<std::optional<X11ProgramIdentity>> identities(pids.size());
    for (xcb_window_t window : windows) {
        const auto traits = m_windowTraits.constFind(window);
        if (traits == m_windowTraits.constEnd())
            continue; // gone meanwhile
        const X11WindowFacts& f = *traits;
        const size_t i = slots.value(m_windowPids.value(f.window));
        // The first window in client-list order names the program.
        if (!identities[i])
            identities[i] = m_identities.identify(f);
        apps[i].regular |= f.kind == X11WindowKind::normal || f.kind == X11WindowKind::dialog;
    }
    for (size_t i = 0; i < pids.size(); ++i) {
        RunningApplication& app = apps[i];
        app.pid = pids[i];
        if (identities[i]) {
            app.bundleID = identities[i]->bundleID;
            app.localizedName = identities[i]->entryName.value_or(identities[i]->className);
        }
        if (app.localizedName.isEmpty())
            app.localizedName = X11ProgramIdentities::processName(app.pid);
        app.isHidden = m_hidden.contains(app.pid);
    }
    takeQueuedEvents();
    return apps;
}

std::optional<RunningApplication> X11RunningApplications::application(int32_t pid) {
    if (pid <= 0 || std::find(m_pids.begin(), m_pids.end(), pid) == m_pids.end())
        return std::nullopt;
    return describe({pid}).front();
}

std::vector<RunningApplication> X11RunningApplications::runningApplications() {
    return describe(std::vector<int32_t>(m_pids));
}

std::optional<int32_t> X11RunningApplications::frontmostApplicationPID() {
    // Asked afresh: the notification of the change may still be on its way to us, and a caller
    // acting on the front window right after activating one must see it.
    if (!m_connection || !m_connection->isValid())
        return m_activePid;
    X11Connection& c = *m_connection;
    const uint32_t active = c.rootValue(X11Atom::netActiveWindow).value_or(XCB_WINDOW_NONE);
    takeQueuedEvents();
    if (active == XCB_WINDOW_NONE)
        return std::nullopt;
    const int32_t owner =
        m_windowPids.contains(active) ? m_windowPids.value(active) : readWindowPids(c, {active}).front();
    takeQueuedEvents();
    if (owner <= 0)
        return std::nullopt;
    return owner;
}

std::optional<int32_t> X11RunningApplications::reportedFrontmostApplicationPID() {
    // Take in the notifications already on the socket, so an activation the server made before
    // the caller's own event is counted; nothing is asked of the server unless one is there.
    if (m_connection && m_connection->isValid())
        readEvents();
    return m_activePid;
}

bool X11RunningApplications::activate(int32_t pid) {
    if (!m_connection || !m_connection->isValid())
        return false;
    // The stacking list runs bottom to top: the last window of the program is its topmost.
    const std::vector<uint32_t> stacking = m_connection->rootValues(X11Atom::netClientListStacking);
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
        const auto owner = m_windowPids.constFind(*it);
        if (owner == m_windowPids.constEnd() || owner.value() != pid)
            continue;
        constexpr uint32_t sourcePager = 2;
        const uint32_t active = m_connection->rootValue(X11Atom::netActiveWindow).value_or(XCB_WINDOW_NONE);
        m_connection->sendToRoot(*it, X11Atom::netActiveWindow,
                                 {sourcePager, m_connection->serverTime(), active, 0, 0});
        m_connection->flush();
        return true;
    }
    return false;
}

void X11RunningApplications::hide(int32_t pid) {
    if (!m_connection || !m_connection->isValid() || pid <= 0)
        return;
    std::vector<xcb_window_t> owned;
    for (xcb_window_t window : m_clients)
        if (m_windowPids.value(window) == pid)
            owned.push_back(window);
    Hidden& hidden = m_hidden[pid];
    std::vector<xcb_window_t>& minimised = hidden.windows;
    constexpr uint32_t iconicState = 3;
    for (const X11WindowFacts& f : readWindowFacts(*m_connection, owned, X11Facts(X11Fact::state))) {
        // A window still waiting to be shown again is ours to keep hidden: it stays minimised.
        if (m_showOnUnmap.remove(f.window) > 0) {
            stopWatching(f.window);
            if (f.alive && std::find(minimised.begin(), minimised.end(), f.window) == minimised.end())
                minimised.push_back(f.window);
            continue;
        }
        // Windows the user minimised already stay minimised when the program is shown again.
        if (!f.alive || f.hidden)
            continue;
        if (f.kind != X11WindowKind::normal && f.kind != X11WindowKind::dialog)
            continue;
        if (std::find(minimised.begin(), minimised.end(), f.window) != minimised.end())
            continue;
        m_connection->sendToRoot(f.window, X11Atom::wmChangeState, {iconicState, 0, 0, 0, 0});
        minimised.push_back(f.window);
    }
    m_connection->flush();
    takeQueuedEvents();
    if (minimised.empty()) {
        m_hidden.remove(pid);
        return;
    }
    hidden.at = std::chrono::steady_clock::now();
    Q_EMIT applicationHidden(pid);
}

void X11RunningApplications::unhide(int32_t pid) {
    const auto it = m_hidden.find(pid);
    if (it == m_hidden.end())
        return;
    const Hidden hidden = std::move(it.value());
    m_hidden.erase(it);
    const std::vector<xcb_window_t>& windows = hidden.windows;
    const auto now = std::chrono::steady_clock::now();
    // Hidden a moment ago: the window manager may not have minimised the windows yet.
    const bool hiddenJustNow = now - hidden.at <= minimisingPatience;
    if (!m_connection || !m_connection->isValid())
        return;
    // Mapping an iconic client asks the window manager to restore it, but only once the window
    // is unmapped: a manager marks a window hidden before it unmaps it (openbox a moment before),
    // and may not have come to the request to minimise it at all yet; a map sent before the unmap
    // does nothing. Such a window is mapped when its unmap arrives. The unmap is listened for
    // before the window is looked at, so none falls between the two.
    xcb_connection_t* raw = m_connection->raw();
    const uint32_t watch = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    std::vector<xcb_get_window_attributes_cookie_t> attributes;
    for (xcb_window_t window : windows) {
        xcb_change_window_attributes(raw, window, XCB_CW_EVENT_MASK, &watch);
        attributes.push_back(xcb_get_window_attributes(raw, window));
    }
    const std::vector<X11WindowFacts> facts =
        readWindowFacts(*m_connection, windows, X11Facts(X11Fact::state));
    for (size_t i = 0; i < windows.size(); ++i) {
        X11Reply<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(raw, attributes[i], nullptr));
        if (!reply || !facts[i].alive)
            continue; // gone meanwhile
        if (reply->map_state == XCB_MAP_STATE_UNMAPPED) {
            stopWatching(windows[i]);
            xcb_map_window(raw, windows[i]);
        } else if (facts[i].hidden || hiddenJustNow) {
            m_showOnUnmap.insert(windows[i], now);
        } else {
            stopWatching(windows[i]); // shown again meanwhile
        }
    }
    m_connection->flush();
    takeQueuedEvents();
    Q_EMIT applicationUnhidden(pid);
}

void X11RunningApplications::mapOnceUnmapped(xcb_window_t window) {
    const auto waiting = m_showOnUnmap.constFind(window);
    if (waiting == m_showOnUnmap.constEnd())
        return;
    // A manager that keeps minimised windows mapped never unmaps them: an unmap long after the
    // request is not the one waited for, but the program's or the user's own.
    const bool inTime = std::chrono::steady_clock::now() - waiting.value() <= minimisingPatience;
    m_showOnUnmap.erase(waiting);
    stopWatching(window);
    if (inTime)
        xcb_map_window(m_connection->raw(), window);
    m_connection->flush();
}

void X11RunningApplications::stopWatching(xcb_window_t window) {
    const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(m_connection->raw(), window, XCB_CW_EVENT_MASK, &none);
}

} // namespace corvane
