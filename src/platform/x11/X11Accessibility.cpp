#include "platform/x11/X11Accessibility.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
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
constexpr uint32_t kStateRemove = 0;
// WM_NORMAL_HINTS: the flag that says the window sizes in steps, and where the steps stand.
constexpr uint32_t kResizeIncrements = 1u << 6;
constexpr size_t kWidthStep = 9, kHeightStep = 10;
// How far a window may stand from a frame asked for and still count as having taken it, in
// points: what snapping allows a window that sizes in steps, beyond the step.
constexpr double kFrameTolerance = 6.0;

// The steps the window sizes in (a terminal's character cell); one pixel where it names none.
QSize sizeSteps(X11Connection& c, xcb_window_t window) {
    const std::optional<X11Property> hints = c.property(window, XCB_ATOM_WM_NORMAL_HINTS);
    const std::vector<uint32_t> v = hints ? hints->values32() : std::vector<uint32_t>{};
    if (v.size() <= kHeightStep || !(v[0] & kResizeIncrements))
        return {1, 1};
    const auto step = [](uint32_t value) { return static_cast<int>(std::clamp<uint32_t>(value, 1, 4096)); };
    return {step(v[kWidthStep]), step(v[kHeightStep])};
}

// Whether `frame` is `asked` as the window could take it: where asked, and as large as asked
// within the steps it sizes in.
bool takes(const QRect& frame, const QRect& asked, QSize steps, int tolerance) {
    const auto near = [tolerance](int got, int wanted, int step) {
        return std::abs(got - wanted) <= tolerance + step - 1;
    };
    return near(frame.x(), asked.x(), 1) && near(frame.y(), asked.y(), 1) &&
           near(frame.width(), asked.width(), steps.width()) &&
           near(frame.height(), asked.height(), steps.height());
}

bool processExists(int32_t pid) {
    if (pid <= 0)
        return false;
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

xcb_window_t windowOf(const AXElement& element) {
    return static_cast<xcb_window_t>(element.handle);
}

QString subroleOf(const X11WindowFacts& f) {
    switch (f.kind) {
    case X11WindowKind::normal:
        return axStandardWindowSubrole;
    case X11WindowKind::dialog:
        return axDialogSubrole;
    case X11WindowKind::utility:
    case X11WindowKind::panel:
        return QStringLiteral("AXFloatingWindow");
    case X11WindowKind::other:
        break;
    }
    return QStringLiteral("AXUnknown");
}

// The process's topmost window; none when it has no window listed.
xcb_window_t topmostOf(const X11HeldWindows& h, int32_t pid) {
    // The stacking list runs bottom to top.
    for (auto it = h.stacking.rbegin(); it != h.stacking.rend(); ++it)
        if (const X11WindowFacts* f = h.facts(*it); f && f->pid == pid)
            return *it;
    return XCB_WINDOW_NONE;
}

} // namespace

X11Accessibility::X11Accessibility(std::shared_ptr<X11WindowState> state)
    : m_state(std::move(state)), m_pixelRatio(m_state->pixelRatio()) {}

X11Accessibility::~X11Accessibility() = default;

AXRead<std::vector<AXElement>> X11Accessibility::windows(int32_t pid) {
    if (pid <= 0)
        return AXRead<std::vector<AXElement>>::failure();
    const auto owned = held([&](const X11HeldWindows& h) -> std::optional<std::vector<AXElement>> {
        if (!h.connection)
            return std::nullopt;
        std::vector<AXElement> elements;
        for (xcb_window_t window : h.clientsOfProcess.value(pid))
            elements.push_back(AXElement{pid, window});
        return elements;
    });
    // A process the server still holds windows of is there; only one without any is asked
    // after, which spares a sweep a system call per program.
    if (!owned || (owned->empty() && !processExists(pid)))
        return AXRead<std::vector<AXElement>>::failure();
    return AXRead<std::vector<AXElement>>::success(*owned);
}

AXRead<AXElement> X11Accessibility::focusedWindow(int32_t pid) {
    if (!processExists(pid))
        return AXRead<AXElement>::failure();
    return held([&](const X11HeldWindows& h) {
        if (!h.connection)
            return AXRead<AXElement>::failure();
        const X11WindowFacts* f = h.facts(h.active);
        if (!f || f->pid != pid)
            return AXRead<AXElement>::failure(AXStatus::noValue);
        return AXRead<AXElement>::success(AXElement{pid, h.active});
    });
}

AXRead<AXElement> X11Accessibility::frontWindow() {
    return held([&](const X11HeldWindows& h) {
        if (!h.connection)
            return AXRead<AXElement>::failure();
        // A window of no known process is no program's: then nothing is in front.
        const X11WindowFacts* f = h.facts(h.active);
        if (!f || f->pid <= 0)
            return AXRead<AXElement>::failure(AXStatus::noValue);
        return AXRead<AXElement>::success(AXElement{f->pid, h.active});
    });
}

AXRead<AXElement> X11Accessibility::mainWindow(int32_t pid) {
    if (!processExists(pid))
        return AXRead<AXElement>::failure();
    return held([&](const X11HeldWindows& h) {
        if (!h.connection)
            return AXRead<AXElement>::failure();
        const xcb_window_t main = topmostOf(h, pid);
        if (main == XCB_WINDOW_NONE)
            return AXRead<AXElement>::failure(AXStatus::noValue);
        return AXRead<AXElement>::success(AXElement{pid, main});
    });
}

std::optional<uint32_t> X11Accessibility::windowNumber(const AXElement& window) {
    if (window.handle == 0 || window.handle > UINT32_MAX)
        return std::nullopt;
    return static_cast<uint32_t>(window.handle);
}

AXRead<QPointF> X11Accessibility::position(const AXElement& window) {
    return read(window,
                [&](const X11WindowFacts& f) { return QPointF(f.outerFrame().topLeft()) / m_pixelRatio; });
}

AXRead<QSizeF> X11Accessibility::size(const AXElement& window) {
    return read(window,
                [&](const X11WindowFacts& f) { return QSizeF(f.outerFrame().size()) / m_pixelRatio; });
}

AXRead<QString> X11Accessibility::title(const AXElement& window) {
    return read(window, [](const X11WindowFacts& f) { return f.title; });
}

AXRead<bool> X11Accessibility::minimized(const AXElement& window) {
    return read(window, [](const X11WindowFacts& f) { return f.hidden; });
}

AXRead<QString> X11Accessibility::subrole(const AXElement& window) {
    return read(window, subroleOf);
}

AXWindowReading X11Accessibility::readWindow(const AXElement& window) {
    AXWindowReading reading;
    if (window.handle == 0 || window.handle > UINT32_MAX)
        return reading;
    held([&](const X11HeldWindows& h) {
        const X11WindowFacts* f = h.facts(windowOf(window));
        if (!f)
            return;
        const QRect frame = f->outerFrame();
        reading.frame = QRectF(QPointF(frame.topLeft()) / m_pixelRatio, QSizeF(frame.size()) / m_pixelRatio);
        reading.title = AXRead<QString>::success(f->title);
        reading.minimized = AXRead<bool>::success(f->hidden);
        reading.subrole = AXRead<QString>::success(subroleOf(*f));
    });
    return reading;
}

AXRead<bool> X11Accessibility::enhancedUserInterface(int32_t) {
    return AXRead<bool>::failure();
}

bool X11Accessibility::setEnhancedUserInterface(int32_t, bool) {
    return false;
}

bool X11Accessibility::moveResize(X11Connection& c, const X11WindowFacts& f, std::optional<QPointF> origin,
                                  std::optional<QSizeF> size, Flush flush) {
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
    c.sendToRoot(f.window, X11Atom::netMoveResizeWindow, data);
    if (flush == Flush::now)
        c.flush();
    return true;
}

bool X11Accessibility::setPosition(const AXElement& window, QPointF origin) {
    return held([&](X11HeldWindows& h) {
        const X11WindowFacts* f = h.facts(windowOf(window));
        if (!f)
            return false;
        m_requestedOrigins.insert(f->window, origin);
        return moveResize(*h.connection, *f, origin, std::nullopt);
    });
}

bool X11Accessibility::setSize(const AXElement& window, QSizeF size) {
    return held([&](X11HeldWindows& h) {
        const X11WindowFacts* f = h.facts(windowOf(window));
        if (!f) {
            m_requestedOrigins.remove(windowOf(window));
            return false;
        }
        // The origin asked for just before is used once: a later size write alone must not pull
        // the window back to where it was placed long ago.
        const std::optional<QPointF> origin = m_requestedOrigins.contains(f->window)
                                                  ? std::optional(m_requestedOrigins.take(f->window))
                                                  : std::nullopt;
        return moveResize(*h.connection, *f, origin, size);
    });
}

bool X11Accessibility::setFrame(const AXElement& window, std::optional<QPointF> origin,
                                std::optional<QSizeF> size) {
    if (!origin && !size)
        return false;
    const Clock::time_point until = Clock::now() + std::chrono::duration_cast<Clock::duration>(m_timeout);
    // A window manager often draws a maximised window with less around it, so its size is worked
    // out with what a window that is not maximised has: asked for once, before the first.
    const std::optional<uint64_t> question = held([&](X11HeldWindows& h) -> std::optional<uint64_t> {
        const X11WindowFacts* f = h.facts(windowOf(window));
        if (!f || !f->maximized || f->fullscreen || m_state->usualFrameExtents(h))
            return std::nullopt;
        return m_state->askWindowManager(h);
    });
    if (question)
        awaitAnswer(*question, until);

    std::optional<Asked> asked = held([&](X11HeldWindows& h) -> std::optional<Asked> {
        const X11WindowFacts* f = h.facts(windowOf(window));
        if (!f)
            return std::nullopt;
        m_requestedOrigins.remove(f->window);
        // A full-screen window keeps the screen: the program and the user take it out of full
        // screen, and a frame written meanwhile is refused.
        if (f->fullscreen)
            return std::nullopt;
        X11Connection& c = *h.connection;
        X11WindowFacts sent = *f;
        if (f->maximized) {
            // Read first: a round trip would send the state's removal on its own.
            if (const std::optional<QMargins> usual = m_state->usualFrameExtents(h))
                sent.frameExtents = *usual;
            // The window manager holds a maximised window where it is. Taken out of that state
            // and moved at once, it goes on to the new frame in the same pass of the manager's
            // queue that puts it back where it was before it was maximised, instead of resting
            // there until a later request. The server is held for the two, so that it serves no
            // other program between them and the window manager reads both together.
            xcb_grab_server(c.raw());
            c.sendToRoot(f->window, X11Atom::netWmState,
                         {kStateRemove, c.atom(X11Atom::netWmStateMaximizedVert),
                          c.atom(X11Atom::netWmStateMaximizedHorz), kSourcePager, 0});
            moveResize(c, sent, origin, size, Flush::later);
            xcb_ungrab_server(c.raw());
            c.flush();
        } else {
            moveResize(c, sent, origin, size);
        }
        if (!origin || !size)
            return std::nullopt;
        return Asked{*origin, *size, sent.frameExtents, sent.clientShadows, sizeSteps(c, f->window)};
    });
    return asked && awaitFrame(window, *asked, until);
}

void X11Accessibility::awaitAnswer(uint64_t ticket, Clock::time_point until) {
    while (!held([&](X11HeldWindows&) { return m_state->answered(ticket); }) && Clock::now() < until)
        m_state->awaitEvents(until);
}

bool X11Accessibility::awaitFrame(const AXElement& window, Asked asked, Clock::time_point until) {
    const QRect frame((asked.origin * m_pixelRatio).toPoint(), (asked.size * m_pixelRatio).toSize());
    const int tolerance = static_cast<int>(std::lround(kFrameTolerance * m_pixelRatio));
    // Judged once the window manager has dealt with the request (or the time is up): on the way
    // the frame may stand anywhere, the one it had before it was maximised included.
    uint64_t ticket = held([&](X11HeldWindows& h) { return m_state->askWindowManager(h); });
    for (bool askedAgain = false;; askedAgain = true) {
        awaitAnswer(ticket, until);
        std::optional<QRect> stands;
        bool again = false;
        held([&](X11HeldWindows& h) {
            const X11WindowFacts* f = h.facts(windowOf(window));
            if (!f)
                return;
            stands = f->outerFrame();
            // Decorations other than those the size was worked out with leave the frame off by
            // the difference: asked once more with those it has now.
            again = !askedAgain && !f->maximized && Clock::now() < until &&
                    (f->frameExtents != asked.extents || f->clientShadows != asked.shadows);
            if (again) {
                moveResize(*h.connection, *f, asked.origin, asked.size);
                ticket = m_state->askWindowManager(h);
            }
        });
        if (!stands)
            return false;
        if (!again)
            return takes(*stands, frame, asked.steps, tolerance);
    }
}

bool X11Accessibility::setMinimized(const AXElement& window, bool minimized) {
    return held([&](X11HeldWindows& h) {
        const X11WindowFacts* f = h.facts(windowOf(window));
        if (!f)
            return false;
        X11Connection& c = *h.connection;
        if (minimized) {
            c.sendToRoot(f->window, X11Atom::wmChangeState, {kIconicState, 0, 0, 0, 0});
        } else {
            // Mapping an iconic client asks the window manager to restore it.
            xcb_generic_error_t* error =
                xcb_request_check(c.raw(), xcb_map_window_checked(c.raw(), f->window));
            if (error) {
                std::free(error);
                return false;
            }
        }
        c.flush();
        return true;
    });
}

bool X11Accessibility::setMain(const AXElement&) {
    return true;
}

bool X11Accessibility::request(xcb_window_t window, X11Atom type, std::optional<size_t> timeAt,
                               std::array<uint32_t, 5> data) {
    return held([&](X11HeldWindows& h) {
        if (!h.connection || window == XCB_WINDOW_NONE)
            return false;
        X11Connection& c = *h.connection;
        if (!h.facts(window) && !c.windowExists(window))
            return false;
        if (timeAt)
            data[*timeAt] = m_state->serverTime(h);
        if (type == X11Atom::netActiveWindow)
            data[2] = h.active;
        c.sendToRoot(window, type, data);
        c.flush();
        return true;
    });
}

bool X11Accessibility::raise(const AXElement& window) {
    if (window.handle == 0 || window.handle > UINT32_MAX)
        return false;
    return request(windowOf(window), X11Atom::netRestackWindow, std::nullopt,
                   {kSourcePager, XCB_WINDOW_NONE, kStackAbove, 0, 0});
}

bool X11Accessibility::close(const AXElement& window) {
    if (window.handle == 0 || window.handle > UINT32_MAX)
        return false;
    return request(windowOf(window), X11Atom::netCloseWindow, 0, {0, kSourcePager, 0, 0, 0});
}

bool X11Accessibility::bringToFront(int32_t pid, uint32_t windowNumber) {
    xcb_window_t target = windowNumber;
    if (target == XCB_WINDOW_NONE) {
        const AXRead<AXElement> main = mainWindow(pid);
        if (!main.ok())
            return false;
        target = windowOf(main.value);
    }
    // The window active now is named as the one the request comes from.
    return request(target, X11Atom::netActiveWindow, 1, {kSourcePager, 0, 0, 0, 0});
}

} // namespace corvane
