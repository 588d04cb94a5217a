#include "platform/x11/X11WindowList.h"

#include "platform/x11/X11WindowFacts.h"

#include <QSet>

#include <algorithm>

namespace corvane {

namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;

// What changes while a window is managed. Its process and identity are remembered per window.
constexpr X11Facts kListFacts =
    X11Facts(X11Fact::viewable) | X11Fact::frame | X11Fact::title | X11Fact::state | X11Fact::placement;

} // namespace

X11WindowList::X11WindowList(QByteArray displayName)
    : m_displayName(std::move(displayName)), m_pixelRatio(primaryScreenPixelRatio()) {}

X11WindowList::~X11WindowList() = default;

QString X11WindowList::processName(int32_t pid) {
    if (pid <= 0)
        return {};
    if (const auto known = m_processNames.constFind(pid); known != m_processNames.constEnd())
        return *known;
    const QString name = X11ProgramIdentities::processName(pid);
    if (!name.isEmpty())
        m_processNames.insert(pid, name);
    return name;
}

std::vector<WindowListEntry> X11WindowList::onScreenWindows() {
    std::lock_guard lock(m_mutex);
    if (!m_connection || !m_connection->isValid()) {
        m_connection = std::make_unique<X11Connection>(m_displayName);
        m_pids.clear();
        m_windowIdentities.clear();
        m_processNames.clear();
    }
    X11Connection& c = *m_connection;
    if (!c.isValid())
        return {};

    // Both root properties in one round trip.
    const xcb_get_property_cookie_t stackingCookie = xcb_get_property(
        c.raw(), 0, c.root(), c.atom(X11Atom::netClientListStacking), XCB_ATOM_ANY, 0, 65536);
    const xcb_get_property_cookie_t desktopCookie =
        xcb_get_property(c.raw(), 0, c.root(), c.atom(X11Atom::netCurrentDesktop), XCB_ATOM_ANY, 0, 1);
    const auto takeValues = [&](xcb_get_property_cookie_t cookie) {
        xcb_generic_error_t* error = nullptr;
        X11Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c.raw(), cookie, &error));
        std::free(error);
        std::vector<uint32_t> values;
        if (reply && reply->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
            values.assign(data, data + xcb_get_property_value_length(reply.get()) / 4);
        }
        return values;
    };
    std::vector<uint32_t> stacking = takeValues(stackingCookie);
    const std::vector<uint32_t> desktops = takeValues(desktopCookie);
    // Without a current desktop every window counts as on it.
    const uint32_t currentDesktop = desktops.empty() ? kAllDesktops : desktops.front();
    std::reverse(stacking.begin(), stacking.end()); // the property runs bottom to top

    m_pids.keepOnly(stacking);
    const QSet<xcb_window_t> stacked(stacking.begin(), stacking.end());
    m_windowIdentities.removeIf([&](QHash<xcb_window_t, X11ProgramIdentity>::iterator known) {
        return !stacked.contains(known.key());
    });
    const std::vector<int32_t> pids = m_pids.pidsOf(c, stacking);
    std::vector<X11Facts> wanted(stacking.size(), kListFacts);
    for (size_t i = 0; i < stacking.size(); ++i)
        if (!m_windowIdentities.contains(stacking[i]))
            wanted[i] |= X11Fact::identity;
    std::vector<X11WindowFacts> facts = readWindowFacts(c, stacking, wanted);

    std::vector<WindowListEntry> entries;
    QSet<int32_t> listedPids;
    for (size_t i = 0; i < facts.size(); ++i) {
        X11WindowFacts& f = facts[i];
        f.pid = pids[i];
        if (!f.alive)
            continue;
        if (wanted[i] & X11Fact::identity)
            m_windowIdentities.insert(f.window, m_identities.identify(f));
        if (!f.viewable || f.hidden)
            continue;
        if (f.desktop && *f.desktop != kAllDesktops && currentDesktop != kAllDesktops &&
            *f.desktop != currentDesktop)
            continue;
        WindowListEntry entry;
        entry.id = f.window;
        entry.pid = f.pid;
        const X11ProgramIdentity& identity = m_windowIdentities[f.window];
        entry.owner = identity.entryName ? *identity.entryName : processName(f.pid);
        listedPids.insert(f.pid);
        entry.title = std::move(f.title);
        const QRect frame = f.outerFrame();
        entry.bounds = QRectF(QPointF(frame.topLeft()) / m_pixelRatio, QSizeF(frame.size()) / m_pixelRatio);
        const bool ordinary = f.kind == X11WindowKind::normal || f.kind == X11WindowKind::dialog ||
                              f.kind == X11WindowKind::utility;
        entry.layer = ordinary ? 0 : 1;
        entry.alpha = f.opacity;
        entries.push_back(std::move(entry));
    }
    // A process with nothing on screen may be gone, and its pid reused by another.
    m_processNames.removeIf(
        [&](QHash<int32_t, QString>::iterator known) { return !listedPids.contains(known.key()); });
    return entries;
}

} // namespace corvane
