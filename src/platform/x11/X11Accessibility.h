#pragma once

#include "platform/Accessibility.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11FactsCache.h"
#include "platform/x11/X11WindowFacts.h"

#include <QByteArray>
#include <QHash>

#include <memory>

namespace corvane {

// Other programs' windows through the window manager. An element's handle is the client window's
// id. Used from one worker thread only: the connection is opened on first use, on that thread.
// Coordinates are the outer frame in logical pixels; the pixel ratio is read once, at
// construction, which happens on the main thread.
class X11Accessibility final : public Accessibility {
public:
    // Facts the window list read a moment ago (through `recent`) serve reads here too.
    explicit X11Accessibility(QByteArray displayName = {}, std::shared_ptr<X11RecentFacts> recent = {});
    ~X11Accessibility() override;

    // xcb requests have no timeout of their own; the local server answers promptly or not at all.
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

    bool setEnhancedUserInterface(int32_t pid, bool on) override;
    bool setPosition(const AXElement& window, QPointF origin) override;
    bool setSize(const AXElement& window, QSizeF size) override;
    // One request moves and resizes the window: the window manager applies both at once, so no
    // size has to go around the move.
    bool setFrame(const AXElement& window, std::optional<QPointF> origin,
                  std::optional<QSizeF> size) override;
    bool setMinimized(const AXElement& window, bool minimized) override;
    bool setMain(const AXElement& window) override;
    bool raise(const AXElement& window) override;
    bool close(const AXElement& window) override;
    bool bringToFront(int32_t pid, uint32_t windowNumber) override;

private:
    X11Connection* connection();
    // What a read answers: facts read a moment ago serve the reads of a whole sweep.
    std::optional<X11WindowFacts> facts(const AXElement& window);
    // What a write goes by: read now, and every fact read before the write is forgotten.
    std::optional<X11WindowFacts> factsForWrite(const AXElement& window);
    // Connection for a write; every fact read before it is forgotten.
    X11Connection* connectionForWrite();
    // The process's client windows, in the order of the given root list; none when the list
    // cannot be read.
    std::optional<std::vector<xcb_window_t>> windowsOf(int32_t pid, X11Atom list);
    bool moveResize(const X11WindowFacts& facts, std::optional<QPointF> origin, std::optional<QSizeF> size);

    QByteArray m_displayName;
    double m_pixelRatio = 1.0;
    Seconds m_timeout{};
    std::unique_ptr<X11Connection> m_connection;
    X11FactsCache m_cache;
    // The origin last asked for per window, so that the size write after a position write keeps
    // it even before the window manager has moved the window there.
    QHash<xcb_window_t, QPointF> m_requestedOrigins;
};

} // namespace corvane
