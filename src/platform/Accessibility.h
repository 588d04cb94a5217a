#pragma once

#include "runtime/Time.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace corvane {

// How one read of another program's window went. `noValue` and `wrongKind` are answers (the
// program is there and replied); `failed` means it did not answer, or the thing is gone.
enum class AXStatus { ok, noValue, wrongKind, failed };

template <typename T> struct AXRead {
    AXStatus status = AXStatus::failed;
    T value{};
    bool ok() const { return status == AXStatus::ok; }
    static AXRead success(T v) { return {AXStatus::ok, std::move(v)}; }
    static AXRead failure(AXStatus s = AXStatus::failed) { return {s, T{}}; }
};

// A handle on one window of another program, as the window access layer hands it out. It is
// only meaningful to the layer that made it and may outlive the window it names.
struct AXElement {
    int32_t pid = 0;
    uint64_t handle = 0;
    bool operator==(const AXElement&) const = default;
};

// What a sweep reads of one window.
struct AXWindowReading {
    std::optional<QRectF> frame; // none when its position or size could not be read
    AXRead<QString> title;
    AXRead<bool> minimized;
    AXRead<QString> subrole;
};

// Subroles the window list tells apart; other windows report some other text.
inline const QString axStandardWindowSubrole = QStringLiteral("AXStandardWindow");
inline const QString axDialogSubrole = QStringLiteral("AXDialog");

// Reading and changing other programs' windows, per process. Every call may block (bounded by
// the messaging timeout) and is made from one worker thread only, never the main thread. A
// window that vanishes between calls answers `failed`, never crashes.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    virtual void setMessagingTimeout(Seconds timeout) = 0;

    // The process's windows in its own order; `failed` when the process cannot be reached.
    virtual AXRead<std::vector<AXElement>> windows(int32_t pid) = 0;
    virtual AXRead<AXElement> focusedWindow(int32_t pid) = 0;
    virtual AXRead<AXElement> mainWindow(int32_t pid) = 0;
    // The window the user works in: the front program's focused window, or its main window where
    // it names no focused one. `noValue` when no program is in front.
    virtual AXRead<AXElement> frontWindow() = 0;
    // The window-list number of the window; none when it cannot be read (or is 0).
    virtual std::optional<uint32_t> windowNumber(const AXElement& window) = 0;

    // The outer frame's origin and size, in the product's coordinate space.
    virtual AXRead<QPointF> position(const AXElement& window) = 0;
    virtual AXRead<QSizeF> size(const AXElement& window) = 0;
    virtual AXRead<QString> title(const AXElement& window) = 0;
    virtual AXRead<bool> minimized(const AXElement& window) = 0;
    virtual AXRead<QString> subrole(const AXElement& window) = 0;
    // A per-process switch some toolkits have that animates or vetoes frame writes.
    virtual AXRead<bool> enhancedUserInterface(int32_t pid) = 0;
    // Everything a sweep reads of the window. By default the reads one after the other, the rest
    // left out when the frame cannot be read; a desktop that holds them all answers at once.
    virtual AXWindowReading readWindow(const AXElement& window) {
        AXWindowReading reading;
        const AXRead<QPointF> origin = position(window);
        if (!origin.ok())
            return reading;
        const AXRead<QSizeF> extent = size(window);
        if (!extent.ok())
            return reading;
        reading.frame = QRectF(origin.value, extent.value);
        reading.title = title(window);
        reading.minimized = minimized(window);
        reading.subrole = subrole(window);
        return reading;
    }

    // Writes answer whether the program accepted them.
    virtual bool setEnhancedUserInterface(int32_t pid, bool on) = 0;
    virtual bool setPosition(const AXElement& window, QPointF origin) = 0;
    virtual bool setSize(const AXElement& window, QSizeF size) = 0;
    // Places and sizes the window; either may be left out. By default the size goes twice, around
    // the move, because some programs clamp a size that does not fit where the window still is.
    // A desktop that moves and resizes in one request overrides it. Answers whether the position
    // and a size were taken.
    virtual bool setFrame(const AXElement& window, std::optional<QPointF> origin,
                          std::optional<QSizeF> size) {
        const bool firstSize = size && setSize(window, *size);
        const bool position = origin && setPosition(window, *origin);
        const bool secondSize = size && setSize(window, *size);
        return position && (firstSize || secondSize);
    }
    virtual bool setMinimized(const AXElement& window, bool minimized) = 0;
    virtual bool setMain(const AXElement& window) = 0;
    virtual bool raise(const AXElement& window) = 0;
    // Closes the window as its close button would; false when it has none or is gone.
    virtual bool close(const AXElement& window) = 0;
    // Brings the process and the window to the front through the window manager.
    virtual bool bringToFront(int32_t pid, uint32_t windowNumber) = 0;
};

} // namespace corvane
