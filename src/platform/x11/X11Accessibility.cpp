#include "platform/x11/X11Accessibility.h"

#include <cerrno>
#include <cmath>
#include <csignal>

namespace corvane {

namespace {

// Source indication 2: the request comes from a pager or similar tool acting for the user, which
// window managers honour without focus-stealing checks.
constexpr uint32_t kSourcePager = 2;
constexpr uint32_t kIconicState = 3;
constexpr uint32_t kGravityNorthWest = 1;
constexpr uint32_t kMoveResizeX = 1u << 8, kMoveResizeY = 1u << 9, kMoveResizeWidth = 1u << 10,
                   kMoveResizeHeight = 1u << 11;
constexpr uint32_t kStackAbove = 0;

bool processExists(int32_t pid) {
    if (pid <= 0)
        return false;
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

xcb_window_t windowOf(const AXElement& element) {
    return static_cast<xcb_window_t>(element.handle);
}

} // namespace

X11Accessibility::X11Accessibility(QByteArray displayName, std::shared_ptr<X11RecentFacts> recent)
    : m_displayName(std::move(displayName)), m_pixelRatio(primaryScreenPixelRatio()) {
    m_cache.share(std::move(recent));
}

X11Accessibility::~X11Accessibility() = default;

X11Connection* X11Accessibility::connection() {
    if (!m_connection || !m_connection->isValid()) {
        m_connection = std::make_unique<X11Connection>(m_displayName);
        m_requestedOrigins.clear();
        m_cache.clear();
    }
    return m_connection->isValid() ? m_connection.get() : nullptr;
}

X11Connection* X11Accessibility::connectionForWrite() {
    m_cache.invalidate();
    return connection();
}

std::optional<X11WindowFacts> X11Accessibility::facts(const AXElement& window) {
    X11Connection* c = connection();
    if (!c || window.handle == 0 || window.handle > UINT32_MAX)
        return std::nullopt;
    return m_cache.facts(*c, windowOf(window));
}

std::optional<X11WindowFacts> X11Accessibility::factsForWrite(const AXElement& window) {
    X11Connection* c = connectionForWrite();
    if (!c || window.handle == 0 || window.handle > UINT32_MAX)
        return std::nullopt;
    return readWindowFacts(*c, windowOf(window), X11Fact::frame);
}

std::optional<std::vector<xcb_window_t>> X11Accessibility::windowsOf(int32_t pid, X11Atom list) {
    X11Connection* c = connection();
    if (!c)
        return std::nullopt;
    if (list == X11Atom::netClientList)
        return m_cache.clientsOf(*c, pid);
    const std::optional<X11Property> clients = c->property(c->root(), c->atom(list), XCB_ATOM_WINDOW);
    if (!clients)
        return std::nullopt;
    const std::vector<uint32_t> all = clients->values32();
    const std::vector<int32_t> pids = m_cache.pidsOf(*c, all);
    std::vector<xcb_window_t> owned;
    for (size_t i = 0; i < all.size(); ++i)
        if (pids[i] == pid)
            owned.push_back(all[i]);
    return owned;
}

AXRead<std::vector<AXElement>> X11Accessibility::windows(int32_t pid) {
    if (pid <= 0)
        return AXRead<std::vector<AXElement>>::failure();
    const auto owned = windowsOf(pid, X11Atom::netClientList);
    // A process the server still holds windows of is there; only one without any is asked
    // after, which spares a sweep a system call per program.
    if (!owned || (owned->empty() && !processExists(pid)))
        return AXRead<std::vector<AXElement>>::failure();
    std::vector<AXElement> elements;
    for (xcb_window_t window : *owned)
        elements.push_back(AXElement{pid, window});
    return AXRead<std::vector<AXElement>>::success(std::move(elements));
}

AXRead<AXElement> X11Accessibility::focusedWindow(int32_t pid) {
    if (!processExists(pid))
        return AXRead<AXElement>::failure();
    X11Connection* c = connection();
    if (!c)
        return AXRead<AXElement>::failure();
    const std::optional<uint32_t> active = c->rootValue(X11Atom::netActiveWindow);
    if (!active || *active == XCB_WINDOW_NONE)
        return AXRead<AXElement>::failure(AXStatus::noValue);
    const std::vector<int32_t> pids = m_cache.pidsOf(*c, {*active});
    if (pids.front() != pid)
        return AXRead<AXElement>::failure(AXStatus::noValue);
    return AXRead<AXElement>::success(AXElement{pid, *active});
}

AXRead<AXElement> X11Accessibility::frontWindow() {
    X11Connection* c = connection();
    if (!c)
        return AXRead<AXElement>::failure();
    const std::optional<uint32_t> active = c->rootValue(X11Atom::netActiveWindow);
    if (!active || *active == XCB_WINDOW_NONE)
        return AXRead<AXElement>::failure(AXStatus::noValue);
    // A window of no known process is no program's: nothing is in front.
    const int32_t pid = m_cache.pidsOf(*c, {*active}).front();
    if (pid <= 0)
        return AXRead<AXElement>::failure(AXStatus::noValue);
    return AXRead<AXElement>::success(AXElement{pid, *active});
}

AXRead<AXElement> X11Accessibility::mainWindow(int32_t pid) {
    if (!processExists(pid))
        return AXRead<AXElement>::failure();
    const auto owned = windowsOf(pid, X11Atom::netClientListStacking);
    if (!owned)
        return AXRead<AXElement>::failure();
    if (owned->empty())
        return AXRead<AXElement>::failure(AXStatus::noValue);
    // The stacking list runs bottom to top.
    return AXRead<AXElement>::success(AXElement{pid, owned->back()});
}

std::optional<uint32_t> X11Accessibility::windowNumber(const AXElement& window) {
    if (window.handle == 0 || window.handle > UINT32_MAX)
        return std::nullopt;
    return static_cast<uint32_t>(window.handle);
}

AXRead<QPointF> X11Accessibility::position(const AXElement& window) {
    const auto f = facts(window);
    if (!f)
        return AXRead<QPointF>::failure();
    return AXRead<QPointF>::success(QPointF(f->outerFrame().topLeft()) / m_pixelRatio);
}

AXRead<QSizeF> X11Accessibility::size(const AXElement& window) {
    const auto f = facts(window);
    if (!f)
        return AXRead<QSizeF>::failure();
    return AXRead<QSizeF>::success(QSizeF(f->outerFrame().size()) / m_pixelRatio);
}

AXRead<QString> X11Accessibility::title(const AXElement& window) {
    const auto f = facts(window);
    if (!f)
        return AXRead<QString>::failure();
    return AXRead<QString>::success(f->title);
}

AXRead<bool> X11Accessibility::minimized(const AXElement& window) {
    const auto f = facts(window);
    if (!f)
        return AXRead<bool>::failure();
    return AXRead<bool>::success(f->hidden);
}

AXRead<QString> X11Accessibility::subrole(const AXElement& window) {
    const auto f = facts(window);
    if (!f)
        return AXRead<QString>::failure();
    switch (f->kind) {
    case X11WindowKind::normal:
        return AXRead<QString>::success(axStandardWindowSubrole);
    case X11WindowKind::dialog:
        return AXRead<QString>::success(axDialogSubrole);
    case X11WindowKind::utility:
    case X11WindowKind::panel:
        return AXRead<QString>::success(QStringLiteral("AXFloatingWindow"));
    case X11WindowKind::other:
        break;
    }
    return AXRead<QString>::success(QStringLiteral("AXUnknown"));
}

AXRead<bool> X11Accessibility::enhancedUserInterface(int32_t) {
    return AXRead<bool>::failure();
}

bool X11Accessibility::setEnhancedUserInterface(int32_t, bool) {
    return false;
}

bool X11Accessibility::moveResize(const X11WindowFacts& f, std::optional<QPointF> origin,
                                  std::optional<QSizeF> size) {
    uint32_t flags = kGravityNorthWest | (kSourcePager << 12);
    std::array<uint32_t, 5> data{};
    if (origin) {
        // With north-west gravity the coordinates place the frame's top-left corner; a window that
        // draws its own shadows is placed by its client area, shadows included.
        const QPoint physical((*origin * m_pixelRatio).toPoint());
        data[1] = static_cast<uint32_t>(physical.x() - f.clientShadows.left());
        data[2] = static_cast<uint32_t>(physical.y() - f.clientShadows.top());
        flags |= kMoveResizeX | kMoveResizeY;
    }
    if (size) {
        const QSize outer((*size * m_pixelRatio).toSize());
        const QMargins around = f.frameExtents - f.clientShadows;
        const int width = outer.width() - around.left() - around.right();
        const int height = outer.height() - around.top() - around.bottom();
        data[3] = static_cast<uint32_t>(std::max(width, 1));
        data[4] = static_cast<uint32_t>(std::max(height, 1));
        flags |= kMoveResizeWidth | kMoveResizeHeight;
    }
    data[0] = flags;
    m_connection->sendToRoot(f.window, X11Atom::netMoveResizeWindow, data);
    m_connection->flush();
    return true;
}

bool X11Accessibility::setPosition(const AXElement& window, QPointF origin) {
    const auto f = factsForWrite(window);
    if (!f)
        return false;
    m_requestedOrigins.insert(f->window, origin);
    return moveResize(*f, origin, std::nullopt);
}

bool X11Accessibility::setSize(const AXElement& window, QSizeF size) {
    const auto f = factsForWrite(window);
    if (!f) {
        m_requestedOrigins.remove(windowOf(window));
        return false;
    }
    // The origin asked for just before is used once: a later size write alone must not pull the
    // window back to where it was placed long ago.
    const std::optional<QPointF> origin = m_requestedOrigins.contains(f->window)
                                              ? std::optional<QPointF>(m_requestedOrigins.take(f->window))
                                              : std::nullopt;
    return moveResize(*f, origin, size);
}

bool X11Accessibility::setFrame(const AXElement& window, std::optional<QPointF> origin,
                                std::optional<QSizeF> size) {
    if (!origin && !size)
        return false;
    const auto f = factsForWrite(window);
    if (!f)
        return false;
    m_requestedOrigins.remove(f->window);
    return moveResize(*f, origin, size) && origin && size;
}

bool X11Accessibility::setMinimized(const AXElement& window, bool minimized) {
    const auto f = factsForWrite(window);
    if (!f)
        return false;
    if (minimized) {
        m_connection->sendToRoot(f->window, X11Atom::wmChangeState, {kIconicState, 0, 0, 0, 0});
    } else {
        // Mapping an iconic client asks the window manager to restore it.
        xcb_generic_error_t* error =
            xcb_request_check(m_connection->raw(), xcb_map_window_checked(m_connection->raw(), f->window));
        if (error) {
            std::free(error);
            return false;
        }
    }
    m_connection->flush();
    return true;
}

bool X11Accessibility::setMain(const AXElement&) {
    return true;
}

bool X11Accessibility::raise(const AXElement& window) {
    X11Connection* c = connectionForWrite();
    if (!c || window.handle == 0 || !c->windowExists(windowOf(window)))
        return false;
    c->sendToRoot(windowOf(window), X11Atom::netRestackWindow,
                  {kSourcePager, XCB_WINDOW_NONE, kStackAbove, 0, 0});
    c->flush();
    return true;
}

bool X11Accessibility::close(const AXElement& window) {
    X11Connection* c = connectionForWrite();
    if (!c || window.handle == 0 || !c->windowExists(windowOf(window)))
        return false;
    c->sendToRoot(windowOf(window), X11Atom::netCloseWindow, {c->serverTime(), kSourcePager, 0, 0, 0});
    c->flush();
    return true;
}

bool X11Accessibility::bringToFront(int32_t pid, uint32_t windowNumber) {
    X11Connection* c = connectionForWrite();
    if (!c)
        return false;
    xcb_window_t target = windowNumber;
    if (target == XCB_WINDOW_NONE) {
        const AXRead<AXElement> main = mainWindow(pid);
        if (!main.ok())
            return false;
        target = windowOf(main.value);
    }
    if (!c->windowExists(target))
        return false;
    const uint32_t active = c->rootValue(X11Atom::netActiveWindow).value_or(XCB_WINDOW_NONE);
    c->sendToRoot(target, X11Atom::netActiveWindow, {kSourcePager, c->serverTime(), active, 0, 0});
    c->flush();
    return true;
}

} // namespace corvane
