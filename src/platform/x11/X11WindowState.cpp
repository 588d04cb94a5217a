#include "platform/x11/X11WindowState.h"

#include "platform/x11/X11FactsRequest.h"
#include "platform/x11/X11PropertyReply.h"

#include <QCoreApplication>
#include <QSet>
#include <QSocketNotifier>
#include <QThread>

#include <poll.h>

#include <algorithm>

namespace corvane {

namespace {

constexpr uint32_t kClientEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
constexpr uint32_t kFrameEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
constexpr uint32_t kNoEvents = 0;
constexpr X11Facts kEverything = allX11Facts;

void selectEvents(xcb_connection_t* x, xcb_window_t window, uint32_t mask) {
    // Unchecked: a window that is gone answers with an error event, which is dropped.
    xcb_change_window_attributes(x, window, XCB_CW_EVENT_MASK, &mask);
}

// Copies the groups that were read from `fresh` into `held`.
void takeFacts(X11WindowFacts& held, const X11WindowFacts& fresh, X11Facts read) {
    if (read & X11Fact::viewable)
        held.viewable = fresh.viewable;
    if (read & X11Fact::frame) {
        held.client = fresh.client;
        held.inParent = fresh.inParent;
        held.frameExtents = fresh.frameExtents;
        held.clientShadows = fresh.clientShadows;
    }
    if (read & X11Fact::title) {
        held.title = fresh.title;
        held.legacyTitle = fresh.legacyTitle;
    }
    if (read & X11Fact::state) {
        held.hidden = fresh.hidden;
        held.fullscreen = fresh.fullscreen;
        held.maximized = fresh.maximized;
        held.kind = fresh.kind;
        held.transient = fresh.transient;
    }
    if (read & X11Fact::placement) {
        held.desktop = fresh.desktop;
        held.opacity = fresh.opacity;
    }
    if (read & X11Fact::identity) {
        held.wmClass = fresh.wmClass;
        held.applicationID = fresh.applicationID;
    }
    if (read & X11Fact::pid)
        held.pid = fresh.pid;
    held.window = fresh.window;
    held.alive = true;
}

} // namespace

X11WindowState::X11WindowState(QByteArray displayName)
    : m_displayName(std::move(displayName)), m_pixelRatio(primaryScreenPixelRatio()) {
    open();
}

X11WindowState::~X11WindowState() = default;

void X11WindowState::open() {
    m_connection = std::make_unique<X11Connection>(m_displayName);
    m_held = X11HeldWindows{};
    m_clientOfFrame.clear();
    m_stale.clear();
    m_unknownTrees.clear();
    m_clientsStale = m_stackingStale = m_activeStale = m_desktopStale = true;
    m_probe = XCB_WINDOW_NONE;
    m_answers = m_questions;
    if (!m_connection->isValid())
        return;
    selectEvents(m_connection->raw(), m_connection->root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
    watchConnection();
}

void X11WindowState::watchConnection() {
    // Between uses, events are taken in as they come so that they never pile up unread. Only
    // where the connection was opened on the thread with the event loop.
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection->raw()),
                                                   QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        // A user holding the state takes the events in itself.
        std::unique_lock lock(m_mutex, std::try_to_lock);
        if (!lock.owns_lock())
            return;
        if (m_connection->isValid())
            takeEvents(true);
        // A connection the server closed stays readable: nothing more will come on it.
        if (!m_connection->isValid())
            m_notifier->setEnabled(false);
    });
}

X11HeldWindows& X11WindowState::update(Catch catchUp) {
    // A display that was not there yet is tried again; one that closed our connection is gone.
    if (!m_connection->isValid() && !m_notifier)
        open();
    if (!m_connection->isValid()) {
        m_held.connection = nullptr;
        return m_held;
    }
    m_held.connection = m_connection.get();
    xcb_connection_t* x = m_connection->raw();
    if (catchUp == Catch::settled) {
        // Every event the server sent before it answers is on the connection by then.
        std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    }
    takeEvents(true);
    if (m_clientsStale || m_stackingStale || m_activeStale || m_desktopStale)
        readRoot();
    readStaleWindows();
    if (!m_unknownTrees.isEmpty()) {
        const std::vector<xcb_window_t> unknown(m_unknownTrees.cbegin(), m_unknownTrees.cend());
        m_unknownTrees.clear();
        readTrees(unknown);
    }
    if (m_processesStale)
        indexProcesses();
    // What came in during the reads is taken in now; what it changed is read next time.
    takeEvents(false);
    return m_held;
}

xcb_timestamp_t X11WindowState::serverTime(X11HeldWindows& held) {
    if (!held.connection)
        return XCB_CURRENT_TIME;
    return held.connection->serverTime([this](const xcb_generic_event_t& event) { takeEvent(event); });
}

uint64_t X11WindowState::askWindowManager(X11HeldWindows& held) {
    if (!held.connection)
        return ++m_questions;
    X11Connection& c = *held.connection;
    xcb_connection_t* x = c.raw();
    if (m_probe == XCB_WINDOW_NONE) {
        // Never mapped: the window manager answers about it without managing it.
        m_probe = xcb_generate_id(x);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(x, XCB_COPY_FROM_PARENT, m_probe, c.root(), -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    }
    c.sendToRoot(m_probe, X11Atom::netRequestFrameExtents, {0, 0, 0, 0, 0});
    c.flush();
    return ++m_questions;
}

std::optional<QMargins> X11WindowState::usualFrameExtents(X11HeldWindows& held) {
    if (!held.connection || m_probe == XCB_WINDOW_NONE || m_answers == 0)
        return std::nullopt;
    X11Connection& c = *held.connection;
    const std::optional<X11Property> extents =
        c.property(m_probe, c.atom(X11Atom::netFrameExtents), XCB_ATOM_CARDINAL);
    const std::vector<uint32_t> v = extents ? extents->values32() : std::vector<uint32_t>{};
    if (v.size() < 4)
        return std::nullopt;
    // Stored as left, right, top, bottom.
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                    static_cast<int>(v[3]));
}

void X11WindowState::answerCame(const xcb_property_notify_event_t& event) {
    // Some window managers write more than the extents at each answer.
    if (event.atom == m_connection->atom(X11Atom::netFrameExtents) && event.state == XCB_PROPERTY_NEW_VALUE)
        ++m_answers;
}

void X11WindowState::awaitEvents(std::chrono::steady_clock::time_point until) {
    int fd = -1;
    {
        std::lock_guard lock(m_mutex);
        if (!m_connection->isValid())
            return;
        fd = xcb_get_file_descriptor(m_connection->raw());
    }
    using namespace std::chrono;
    // Short: events another thread took in meanwhile leave the socket quiet.
    constexpr milliseconds longest(10);
    const milliseconds left = duration_cast<milliseconds>(until - steady_clock::now());
    pollfd waiting{fd, POLLIN, 0};
    ::poll(&waiting, 1, static_cast<int>(std::clamp(left, milliseconds(0), longest).count()));
}

void X11WindowState::takeEvents(bool readSocket) {
    xcb_connection_t* x = m_connection->raw();
    while (xcb_generic_event_t* event = readSocket ? xcb_poll_for_event(x) : xcb_poll_for_queued_event(x)) {
        X11Reply<xcb_generic_event_t> owned(event);
        takeEvent(*event);
    }
}

std::optional<uint64_t> X11WindowState::changeCount() {
    // Never waits for another user: while one holds the state, the count cannot be told.
    std::unique_lock lock(m_mutex, std::try_to_lock);
    if (!lock.owns_lock() || !m_connection || !m_connection->isValid())
        return std::nullopt;
    takeEvents(true);
    return m_changes;
}

void X11WindowState::takeEvent(const xcb_generic_event_t& event) {
    ++m_changes;
    switch (x11EventType(event)) {
    case XCB_PROPERTY_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (e.window == m_connection->root())
            rootChanged(e.atom);
        else if (e.window == m_probe)
            answerCame(e);
        else
            windowChanged(e.window, e.atom);
        break;
    }
    case XCB_CONFIGURE_NOTIFY:
        configured(reinterpret_cast<const xcb_configure_notify_event_t&>(event));
        break;
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY: {
        // Both carry the window in the same place.
        const xcb_window_t window = reinterpret_cast<const xcb_map_notify_event_t&>(event).window;
        const xcb_window_t client = m_held.windows.contains(window) ? window : m_clientOfFrame.value(window);
        if (auto held = m_held.windows.find(client); held != m_held.windows.end())
            markStale(held, X11Fact::viewable);
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const xcb_window_t window = reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window;
        if (m_held.windows.contains(window)) {
            forget(window);
        } else if (const xcb_window_t client = m_clientOfFrame.take(window)) {
            if (auto held = m_held.windows.find(client); held != m_held.windows.end()) {
                held->treeKnown = held->followed = false;
                held->frame = XCB_WINDOW_NONE;
                m_unknownTrees.insert(client);
                markStale(held, X11Facts(X11Fact::frame) | X11Fact::viewable);
            }
        }
        break;
    }
    case XCB_REPARENT_NOTIFY: {
        const xcb_window_t window = reinterpret_cast<const xcb_reparent_notify_event_t&>(event).window;
        if (auto held = m_held.windows.find(window); held != m_held.windows.end()) {
            unfollowFrame(window);
            held->treeKnown = false;
            m_unknownTrees.insert(window);
            markStale(held, X11Facts(X11Fact::frame) | X11Fact::viewable);
        }
        break;
    }
    default:
        // Errors of requests about windows that have gone meanwhile, and events of no interest.
        break;
    }
}

void X11WindowState::rootChanged(xcb_atom_t property) {
    const X11Connection& c = *m_connection;
    if (property == c.atom(X11Atom::netClientList))
        m_clientsStale = true;
    else if (property == c.atom(X11Atom::netClientListStacking)) {
        m_stackingStale = true;
        // The window on top counts as the one used last.
        activeChanged();
    } else if (property == c.atom(X11Atom::netActiveWindow)) {
        m_activeStale = true;
        activeChanged();
    } else if (property == c.atom(X11Atom::netCurrentDesktop))
        m_desktopStale = true;
}

void X11WindowState::windowChanged(xcb_window_t window, xcb_atom_t property) {
    const auto held = m_held.windows.find(window);
    if (held == m_held.windows.end())
        return;
    const X11Connection& c = *m_connection;
    const auto is = [&](X11Atom atom) { return property == c.atom(atom); };
    if (is(X11Atom::netWmName) || property == XCB_ATOM_WM_NAME)
        markStale(held, X11Fact::title);
    else if (is(X11Atom::netWmState) || is(X11Atom::netWmWindowType) ||
             property == XCB_ATOM_WM_TRANSIENT_FOR) {
        markStale(held, X11Fact::state);
        activeChanged();
    } else if (is(X11Atom::netWmDesktop) || is(X11Atom::netWmWindowOpacity))
        markStale(held, X11Fact::placement);
    else if (is(X11Atom::netFrameExtents) || is(X11Atom::gtkFrameExtents))
        markStale(held, X11Fact::frame);
    else if (property == XCB_ATOM_WM_CLASS || is(X11Atom::gtkApplicationId) ||
             is(X11Atom::kdeNetWmDesktopFile))
        markStale(held, X11Fact::identity);
    else if (is(X11Atom::netWmPid))
        markStale(held, X11Fact::pid);
}

void X11WindowState::watchActive(std::function<void()> changed, const void* watcher) {
    std::lock_guard lock(m_mutex);
    if (changed)
        m_activeWatchers[watcher] = std::move(changed);
    else
        m_activeWatchers.erase(watcher);
    if (!m_noticeContext)
        m_noticeContext = std::make_unique<QObject>();
}

void X11WindowState::activeChanged() {
    // Under the state's lock, on any thread: the notice is queued to the main thread, where the
    // watcher reads the state through `use` like any caller.
    if (m_activeWatchers.empty() || !m_noticeContext || m_noticePending)
        return;
    m_noticePending = true;
    QMetaObject::invokeMethod(
        m_noticeContext.get(),
        [this] {
            std::vector<std::function<void()>> watchers;
            {
                std::lock_guard lock(m_mutex);
                m_noticePending = false;
                for (const auto& [key, watcher] : m_activeWatchers)
                    watchers.push_back(watcher);
            }
            for (const std::function<void()>& watcher : watchers)
                watcher();
        },
        Qt::QueuedConnection);
}

void X11WindowState::configured(const xcb_configure_notify_event_t& e) {
    // Window managers send a made-up notice in root coordinates when they move a frame; the real
    // notices of the client and of its frame tell the same, and more, where both are followed.
    const bool madeUp = (e.response_type & 0x80) != 0;
    const QPoint origin(e.x + e.border_width, e.y + e.border_width);
    if (auto held = m_held.windows.find(e.window); held != m_held.windows.end()) {
        if (!held->followed) {
            markStale(held, X11Fact::frame);
            return;
        }
        if (madeUp)
            return;
        held->facts.inParent = origin;
        held->facts.client = QRect(held->frameOrigin + origin, QSize(e.width, e.height));
        return;
    }
    const xcb_window_t client = m_clientOfFrame.value(e.window);
    if (madeUp || client == XCB_WINDOW_NONE)
        return;
    if (auto held = m_held.windows.find(client); held != m_held.windows.end() && held->followed) {
        held->frameOrigin = origin;
        held->facts.client.moveTopLeft(origin + held->facts.inParent);
    }
}

void X11WindowState::readRoot() {
    X11Connection& c = *m_connection;
    const auto ask = [&](bool stale, X11Atom atom) {
        return stale ? std::optional(askX11Property(c, c.root(), c.atom(atom))) : std::nullopt;
    };
    const auto take = [&](std::optional<xcb_get_property_cookie_t> cookie) {
        const X11PropertyReply reply = takeX11Property(c, *cookie);
        const std::span<const uint32_t> values = values32(reply);
        return std::vector<uint32_t>(values.begin(), values.end());
    };
    const auto clients = ask(m_clientsStale, X11Atom::netClientList);
    const auto stacking = ask(m_stackingStale, X11Atom::netClientListStacking);
    const auto active = ask(m_activeStale, X11Atom::netActiveWindow);
    const auto desktop = ask(m_desktopStale, X11Atom::netCurrentDesktop);
    m_clientsStale = m_stackingStale = m_activeStale = m_desktopStale = false;
    if (clients)
        listClients(take(clients));
    if (stacking)
        m_held.stacking = take(stacking);
    if (active) {
        const std::vector<uint32_t> values = take(active);
        m_held.active = values.empty() ? xcb_window_t(XCB_WINDOW_NONE) : values.front();
    }
    if (desktop) {
        const std::vector<uint32_t> values = take(desktop);
        m_held.currentDesktop = values.empty() ? std::nullopt : std::optional(values.front());
    }
}

void X11WindowState::listClients(const std::vector<xcb_window_t>& clients) {
    const QSet<xcb_window_t> listed(clients.begin(), clients.end());
    std::vector<xcb_window_t> gone;
    for (auto it = m_held.windows.cbegin(); it != m_held.windows.cend(); ++it)
        if (!listed.contains(it.key()))
            gone.push_back(it.key());
    for (xcb_window_t window : gone) {
        forget(window);
        selectEvents(m_connection->raw(), window, kNoEvents);
    }
    for (xcb_window_t window : clients) {
        if (m_held.windows.contains(window))
            continue;
        // Watched before it is read: whatever changes after the read is told.
        selectEvents(m_connection->raw(), window, kClientEvents);
        X11HeldWindow& held = m_held.windows[window];
        held.facts.window = window;
        held.stale = kEverything;
        m_stale.insert(window);
        m_unknownTrees.insert(window);
    }
    m_held.clients = clients;
    m_processesStale = true;
}

void X11WindowState::indexProcesses() {
    m_processesStale = false;
    m_held.clientsOfProcess.clear();
    for (xcb_window_t window : m_held.clients)
        if (const X11WindowFacts* f = m_held.facts(window))
            m_held.clientsOfProcess[f->pid].push_back(window);
}

void X11WindowState::readStaleWindows() {
    std::vector<xcb_window_t> windows;
    std::vector<X11Facts> which;
    for (xcb_window_t window : std::as_const(m_stale)) {
        const auto it = m_held.windows.find(window);
        if (it == m_held.windows.end() || !it->stale)
            continue;
        X11Facts asked = it->stale;
        // A window without a UTF-8 title is asked for its legacy name in the same round trip.
        if ((asked & X11Fact::title) && it->facts.legacyTitle)
            asked |= X11Fact::legacyTitle;
        windows.push_back(window);
        which.push_back(asked);
        it->stale = {};
    }
    m_stale.clear();
    if (windows.empty())
        return;
    const std::vector<X11WindowFacts> read = X11FactsRequest(*m_connection, windows, which).take();
    for (size_t i = 0; i < windows.size(); ++i) {
        const auto held = m_held.windows.find(windows[i]);
        if (held == m_held.windows.end())
            continue;
        if (!read[i].alive) {
            // Gone: it leaves the client list soon, and is read again should it stay there.
            forget(windows[i]);
            continue;
        }
        takeFacts(held->facts, read[i], which[i]);
        if (which[i] & (X11Facts(X11Fact::identity) | X11Fact::pid))
            ++held->identityVersion;
        m_processesStale = m_processesStale || (which[i] & X11Fact::pid);
        if ((which[i] & X11Fact::frame) && held->followed)
            held->frameOrigin = held->facts.client.topLeft() - held->facts.inParent;
    }
}

void X11WindowState::readTrees(const std::vector<xcb_window_t>& windows) {
    X11Connection& c = *m_connection;
    xcb_connection_t* x = c.raw();
    std::vector<xcb_query_tree_cookie_t> cookies;
    for (xcb_window_t window : windows)
        cookies.push_back(xcb_query_tree(x, window));
    std::vector<std::pair<xcb_window_t, xcb_window_t>> framed; // client, parent
    for (size_t i = 0; i < windows.size(); ++i) {
        X11Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(x, cookies[i], nullptr));
        auto held = m_held.windows.find(windows[i]);
        if (held == m_held.windows.end() || !tree)
            continue;
        held->treeKnown = true;
        held->followed = tree->parent == c.root();
        held->frame = XCB_WINDOW_NONE;
        held->frameOrigin = QPoint();
        if (held->followed) {
            held->facts.client.moveTopLeft(held->facts.inParent);
        } else {
            // The frame is watched before its place is read, so that no move of it goes untold.
            selectEvents(x, tree->parent, kFrameEvents);
            framed.emplace_back(windows[i], tree->parent);
        }
    }
    if (framed.empty())
        return;
    std::vector<std::pair<xcb_query_tree_cookie_t, xcb_get_geometry_cookie_t>> frameCookies;
    for (const auto& [client, parent] : framed)
        frameCookies.emplace_back(xcb_query_tree(x, parent), xcb_get_geometry(x, parent));
    for (size_t i = 0; i < framed.size(); ++i) {
        const auto [client, parent] = framed[i];
        X11Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(x, frameCookies[i].first, nullptr));
        X11Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(x, frameCookies[i].second, nullptr));
        auto held = m_held.windows.find(client);
        if (held == m_held.windows.end())
            continue;
        if (!tree || !geometry || tree->parent != c.root()) {
            // A frame inside another window moves without telling: the client is read when it
            // reports a change instead.
            selectEvents(x, parent, kNoEvents);
            continue;
        }
        held->frame = parent;
        held->followed = true;
        held->frameOrigin =
            QPoint(geometry->x + geometry->border_width, geometry->y + geometry->border_width);
        held->facts.client.moveTopLeft(held->frameOrigin + held->facts.inParent);
        m_clientOfFrame.insert(parent, client);
    }
}

void X11WindowState::unfollowFrame(xcb_window_t window) {
    auto held = m_held.windows.find(window);
    if (held == m_held.windows.end())
        return;
    if (held->frame != XCB_WINDOW_NONE) {
        m_clientOfFrame.remove(held->frame);
        selectEvents(m_connection->raw(), held->frame, kNoEvents);
    }
    held->frame = XCB_WINDOW_NONE;
    held->followed = false;
}

void X11WindowState::markStale(QHash<xcb_window_t, X11HeldWindow>::iterator held, X11Facts facts) {
    held->stale |= facts;
    m_stale.insert(held.key());
}

void X11WindowState::forget(xcb_window_t window) {
    unfollowFrame(window);
    m_processesStale = true;
    m_held.windows.remove(window);
    m_stale.remove(window);
    m_unknownTrees.remove(window);
}

} // namespace corvane
