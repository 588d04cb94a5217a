#pragma once

#include "platform/Accessibility.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowState.h"

#include <QByteArray>
#include <QHash>

#include <chrono>
#include <memory>

namespace corvane {

// Other programs' windows through the window manager. An element's handle is the client window's
// id. Reads answer from the window state, which reads only what changed since; writes go on its
// connection, in order. Used from one worker thread only. Coordinates are the outer frame in
// logical pixels.
class X11Accessibility final : public Accessibility {
public:
    explicit X11Accessibility(std::shared_ptr<X11WindowState> state);
    ~X11Accessibility() override;

    // Bounds the wait for a written frame to show. xcb requests have no timeout of their own;
    // the local server answers promptly or not at all.
    void setMessagingTimeout(Seconds timeout) override { m_timeout = timeout; }

    AXRead<std::vector<AXElement>> windows(int32_t pid) override;
    AXRead<AXElement> focusedWindow(int32_t pid) override;
    AXRead<AXElement> mainWindow(int32_t pid) override;
    // The active window: the window manager gives focus to one program's window at a time.
    AXRead<AXElement> frontWindow() override;
    std::optional<uint32_t> windowNumber(const AXElement& window) override;

    AXRead<QPointF> position(const AXElement& window) override;
    AXRead<QSizeF> size(const AXElement& window) override;
    AXRead<QString> title(const AXElement& window) override;
    AXRead<bool> minimized(const AXElement& window) override;
    AXRead<QString> subrole(const AXElement& window) override;
    AXRead<bool> enhancedUserInterface(int32_t pid) override;
    // All at once, from the window state.
    AXWindowReading readWindow(const AXElement& window) override;

    bool setEnhancedUserInterface(int32_t pid, bool on) override;
    bool setPosition(const AXElement& window, QPointF origin) override;
    bool setSize(const AXElement& window, QSizeF size) override;
    // One request moves and resizes the window: the window manager applies both at once, so no
    // size has to go around the move. A maximised window is taken out of that state on the way.
    // True once the window stands at the frame, or as near as the steps it sizes in allow,
    // within the messaging timeout; false for a full-screen window, which keeps the screen.
    bool setFrame(const AXElement& window, std::optional<QPointF> origin,
                  std::optional<QSizeF> size) override;
    bool setMinimized(const AXElement& window, bool minimized) override;
    bool setMain(const AXElement& window) override;
    bool raise(const AXElement& window) override;
    bool close(const AXElement& window) override;
    bool bringToFront(int32_t pid, uint32_t windowNumber) override;

private:
    // Runs `use` on the held windows with only what has arrived taken in.
    template <typename F> auto held(F&& use) {
        return m_state->use(X11WindowState::Catch::arrived, std::forward<F>(use));
    }
    // What `fact` makes of the window's facts as held; failed when it is not a listed client window.
    template <typename F> auto read(const AXElement& window, F&& fact) {
        using Value = decltype(fact(std::declval<const X11WindowFacts&>()));
        if (window.handle == 0 || window.handle > UINT32_MAX)
            return AXRead<Value>::failure();
        return held([&](const X11HeldWindows& h) {
            const X11WindowFacts* f = h.facts(static_cast<xcb_window_t>(window.handle));
            return f ? AXRead<Value>::success(fact(*f)) : AXRead<Value>::failure();
        });
    }
    // A frame written, and what it was worked out with.
    struct Asked {
        QPointF origin;
        QSizeF size;
        QMargins extents, shadows;
        QSize steps;
    };
    using Clock = std::chrono::steady_clock;
    // Waits until the window manager has dealt with the frame and judges it: false when the
    // window does not stand there once it has, or by `until`, or goes.
    bool awaitFrame(const AXElement& window, Asked asked, Clock::time_point until);
    // Waits until the window manager's answer came, or `until`.
    void awaitAnswer(uint64_t ticket, Clock::time_point until);
    enum class Flush { now, later };
    bool moveResize(X11Connection& c, const X11WindowFacts& facts, std::optional<QPointF> origin,
                    std::optional<QSizeF> size, Flush flush = Flush::now);
    // Sends a window-manager request about a window, with the server's time at `timeAt` of the
    // data if asked; false when the window is gone.
    bool request(xcb_window_t window, X11Atom type, std::optional<size_t> timeAt,
                 std::array<uint32_t, 5> data);

    std::shared_ptr<X11WindowState> m_state;
    double m_pixelRatio = 1.0;
    // Until told otherwise, the usual bound of a message to another program.
    Seconds m_timeout{0.5};
    // The origin last asked for per window, so that the size write after a position write keeps
    // it even before the window manager has moved the window there.
    QHash<xcb_window_t, QPointF> m_requestedOrigins;
};

} // namespace corvane
