#include "platform/x11/X11WindowList.h"

#include <QSet>

namespace corvane {

namespace {
constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
} // namespace

X11WindowList::X11WindowList(std::shared_ptr<X11WindowState> state) : m_state(std::move(state)) {}

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

QString X11WindowList::ownerOf(const X11HeldWindow& window) {
    Owner& owner = m_owners[window.facts.window];
    if (owner.identityVersion != window.identityVersion || owner.name.isEmpty()) {
        const X11ProgramIdentity identity = m_identities.identify(window.facts);
        owner.name = identity.entryName ? *identity.entryName : processName(window.facts.pid);
        owner.identityVersion = window.identityVersion;
    }
    return owner.name;
}

std::optional<QRectF> X11WindowList::activeFullscreenFrame() {
    const double ratio = m_state->pixelRatio();
    return m_state->use(X11WindowState::Catch::arrived,
                        [&](const X11HeldWindows& held) -> std::optional<QRectF> {
                            const X11WindowFacts* f = held.facts(held.active);
                            if (!f || !f->fullscreen || !f->viewable || f->hidden)
                                return std::nullopt;
                            const QRect frame = f->outerFrame();
                            return QRectF(QPointF(frame.topLeft()) / ratio, QSizeF(frame.size()) / ratio);
                        });
}

void X11WindowList::watchActiveWindow(std::function<void()> changed) {
    m_state->watchActive(std::move(changed));
}

std::optional<uint64_t> X11WindowList::changeCount() {
    return m_state->changeCount();
}

std::vector<WindowListEntry> X11WindowList::onScreenWindows() {
    std::lock_guard lock(m_mutex);
    const double ratio = m_state->pixelRatio();
    // Settled: a window that changed its frame, title or desktop a moment ago is seen changed.
    return m_state->use(X11WindowState::Catch::settled, [&](const X11HeldWindows& held) {
        std::vector<WindowListEntry> entries;
        if (!held.connection)
            return entries;
        // Without a current desktop every window counts as on it.
        const uint32_t currentDesktop = held.currentDesktop.value_or(kAllDesktops);
        QSet<int32_t> listedPids;
        QSet<xcb_window_t> stacked;
        // The stacking list runs bottom to top.
        for (auto it = held.stacking.rbegin(); it != held.stacking.rend(); ++it) {
            const auto window = held.windows.constFind(*it);
            if (window == held.windows.constEnd())
                continue;
            stacked.insert(*it);
            const X11WindowFacts& f = window->facts;
            if (!f.viewable || f.hidden)
                continue;
            if (f.desktop && *f.desktop != kAllDesktops && currentDesktop != kAllDesktops &&
                *f.desktop != currentDesktop)
                continue;
            WindowListEntry entry;
            entry.id = f.window;
            entry.pid = f.pid;
            entry.owner = ownerOf(*window);
            listedPids.insert(f.pid);
            entry.title = f.title;
            const QRect frame = f.outerFrame();
            entry.bounds = QRectF(QPointF(frame.topLeft()) / ratio, QSizeF(frame.size()) / ratio);
            const bool ordinary = f.kind == X11WindowKind::normal || f.kind == X11WindowKind::dialog ||
                                  f.kind == X11WindowKind::utility;
            entry.layer = ordinary ? 0 : 1;
            entry.alpha = f.opacity;
            entries.push_back(std::move(entry));
        }
        m_owners.removeIf(
            [&](QHash<xcb_window_t, Owner>::iterator it) { return !stacked.contains(it.key()); });
        // A process with nothing on screen may be gone, and its pid reused by another.
        m_processNames.removeIf(
            [&](QHash<int32_t, QString>::iterator known) { return !listedPids.contains(known.key()); });
        return entries;
    });
}

} // namespace corvane
