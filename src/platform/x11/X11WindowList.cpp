#include "platform/x11/X11WindowList.h"

#include "platform/x11/X11WindowFacts.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;

} // namespace

X11WindowList::X11WindowList(QByteArray displayName)
    : m_displayName(std::move(displayName)), m_pixelRatio(primaryScreenPixelRatio()) {}

X11WindowList::~X11WindowList() = default;

std::vector<WindowListEntry> X11WindowList::onScreenWindows() {
    std::lock_guard lock(m_mutex);
    if (!m_connection || !m_connection->isValid())
        m_connection = std::make_unique<X11Connection>(m_displayName);
    X11Connection& c = *m_connection;
    if (!c.isValid())
        return {};

    std::vector<uint32_t> stacking = c.rootValues(X11Atom::netClientListStacking);
    std::reverse(stacking.begin(), stacking.end()); // the property runs bottom to top
    const std::optional<uint32_t> currentDesktop = c.rootValue(X11Atom::netCurrentDesktop);

    std::vector<WindowListEntry> entries;
    for (const X11WindowFacts& f : readWindowFacts(c, stacking)) {
        if (!f.alive || !f.viewable || f.hidden)
            continue;
        if (f.desktop && *f.desktop != kAllDesktops && currentDesktop && *f.desktop != *currentDesktop)
            continue;
        WindowListEntry entry;
        entry.id = f.window;
        entry.pid = f.pid;
        const X11ProgramIdentity identity = m_identities.identify(f);
        entry.owner = identity.entryName ? *identity.entryName : X11ProgramIdentities::processName(f.pid);
        entry.title = f.title;
        const QRect frame = f.outerFrame();
        entry.bounds = QRectF(QPointF(frame.topLeft()) / m_pixelRatio, QSizeF(frame.size()) / m_pixelRatio);
        const bool ordinary = f.kind == X11WindowKind::normal || f.kind == X11WindowKind::dialog ||
                              f.kind == X11WindowKind::utility;
        entry.layer = ordinary ? 0 : 1;
        entry.alpha = f.opacity;
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace corvane
