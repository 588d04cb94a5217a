#include "platform/x11/X11WindowList.h"

#include "platform/x11/X11FactsRequest.h"
#include "platform/x11/X11PropertyReply.h"

#include <QSet>

#include <algorithm>

namespace corvane {

namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;

// What changes while a window is managed.
constexpr X11Facts kListFacts =
    X11Facts(X11Fact::viewable) | X11Fact::frame | X11Fact::title | X11Fact::state | X11Fact::placement;

std::vector<uint32_t> rootList(X11Connection& c, xcb_get_property_cookie_t cookie) {
    const X11PropertyReply reply = takeX11Property(c, cookie);
    const std::span<const uint32_t> values = values32(reply);
    return {values.begin(), values.end()};
}

} // namespace

X11WindowList::X11WindowList(QByteArray displayName, std::shared_ptr<X11RecentFacts> recent)
    : m_displayName(std::move(displayName)), m_pixelRatio(primaryScreenPixelRatio()),
      m_recent(std::move(recent)) {}

X11WindowList::~X11WindowList() = default;

X11Facts X11WindowList::wantedFor(xcb_window_t window) const {
    X11Facts wanted = kListFacts;
    const auto known = m_known.constFind(window);
    if (known == m_known.constEnd())
        return wanted | X11Fact::pid | X11Fact::identity;
    if (known->pid <= 0)
        wanted |= X11Fact::pid;
    if (!known->identity)
        wanted |= X11Fact::identity;
    if (known->legacyTitle)
        wanted |= X11Fact::legacyTitle;
    return wanted;
}

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
        m_known.clear();
        m_lastStacking.clear();
        m_processNames.clear();
    }
    X11Connection& c = *m_connection;
    if (!c.isValid())
        return {};

    // Both root properties, and the facts of the windows stacked last time: while the stack stays
    // the same, the whole read is one round trip.
    const uint64_t generation = m_recent ? m_recent->generation() : 0;
    const X11RecentFacts::Clock::time_point readAt = X11RecentFacts::Clock::now();
    const xcb_get_property_cookie_t stackingCookie =
        askX11Property(c, c.root(), c.atom(X11Atom::netClientListStacking));
    const xcb_get_property_cookie_t desktopCookie =
        askX11Property(c, c.root(), c.atom(X11Atom::netCurrentDesktop));
    std::vector<X11Facts> askedBefore;
    for (xcb_window_t window : m_lastStacking)
        askedBefore.push_back(wantedFor(window));
    X11FactsRequest previous(c, m_lastStacking, askedBefore);

    std::vector<uint32_t> stacking = rootList(c, stackingCookie);
    std::reverse(stacking.begin(), stacking.end()); // the property runs bottom to top
    const std::vector<uint32_t> desktops = rootList(c, desktopCookie);
    // Without a current desktop every window counts as on it.
    const uint32_t currentDesktop = desktops.empty() ? kAllDesktops : desktops.front();
    const std::vector<X11WindowFacts> answered = previous.take();

    // Windows that came since are asked about now.
    QHash<xcb_window_t, size_t> answeredAt;
    for (size_t i = 0; i < m_lastStacking.size(); ++i)
        answeredAt.insert(m_lastStacking[i], i);
    std::vector<xcb_window_t> newcomers;
    std::vector<X11Facts> askedNow;
    for (xcb_window_t window : stacking) {
        if (!answeredAt.contains(window)) {
            newcomers.push_back(window);
            askedNow.push_back(wantedFor(window));
        }
    }
    const std::vector<X11WindowFacts> late = X11FactsRequest(c, newcomers, askedNow).take();
    if (m_recent) {
        std::vector<X11WindowFacts> offered(answered);
        offered.insert(offered.end(), late.begin(), late.end());
        m_recent->offer(generation, readAt, offered);
    }

    const QSet<xcb_window_t> stacked(stacking.begin(), stacking.end());
    m_known.removeIf(
        [&](QHash<xcb_window_t, KnownWindow>::iterator known) { return !stacked.contains(known.key()); });
    m_lastStacking = stacking;

    std::vector<WindowListEntry> entries;
    QSet<int32_t> listedPids;
    size_t lateAt = 0;
    for (xcb_window_t window : stacking) {
        const auto before = answeredAt.constFind(window);
        const bool early = before != answeredAt.constEnd();
        const X11WindowFacts& f = early ? answered[*before] : late[lateAt];
        const X11Facts asked = early ? askedBefore[*before] : askedNow[lateAt];
        lateAt += early ? 0 : 1;
        if (!f.alive)
            continue;
        KnownWindow& known = m_known[window];
        if (asked & X11Fact::pid)
            known.pid = f.pid;
        if (asked & X11Fact::identity)
            known.identity = m_identities.identify(f);
        known.legacyTitle = f.legacyTitle;

        if (!f.viewable || f.hidden)
            continue;
        if (f.desktop && *f.desktop != kAllDesktops && currentDesktop != kAllDesktops &&
            *f.desktop != currentDesktop)
            continue;
        WindowListEntry entry;
        entry.id = window;
        entry.pid = known.pid;
        entry.owner =
            known.identity && known.identity->entryName ? *known.identity->entryName : processName(known.pid);
        listedPids.insert(known.pid);
        entry.title = f.title;
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
