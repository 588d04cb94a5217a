#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace corvane {

// A window the desktop can capture: its id (the client window the window list names) and the
// rectangle of its content in logical pixels.
struct CapturableWindow {
    uint32_t windowID = 0;
    QRectF frame;
    bool operator==(const CapturableWindow&) const = default;
};

// The windows on screen that can be captured, as listed at one moment.
struct ShareableContent {
    std::vector<CapturableWindow> windows;
    const CapturableWindow* find(uint32_t windowID) const {
        for (const CapturableWindow& window : windows)
            if (window.windowID == windowID)
                return &window;
        return nullptr;
    }
};

// The answer to a listing: the content, or why there is none.
struct ContentAnswer {
    std::optional<ShareableContent> content;
    QString error;
};

// The answer to a capture: a picture, or why there is none. With the picture, the window's
// content version it shows, where the desktop tells one (see `contentVersion`).
struct ImageAnswer {
    std::optional<QImage> image;
    QString error;
    std::optional<uint64_t> contentVersion;
};

// Pictures of other programs' windows. Both requests return at once and answer later through
// their handler, which may run on any thread; the work itself happens off the caller's thread.
class WindowCapture {
public:
    using ContentHandler = std::function<void(ContentAnswer)>;
    using ImageHandler = std::function<void(ImageAnswer)>;

    virtual ~WindowCapture() = default;
    // Lists the windows on screen that can be captured, leaving out the desktop itself.
    virtual void loadShareableContent(ContentHandler done) = 0;
    // One picture of the window, `pixelSize` large (whole pixels, the cursor left out).
    virtual void captureImage(uint32_t windowID, QSize pixelSize, ImageHandler done) = 0;
    // A number that moves on whenever what the window shows may have changed, read at once from
    // what the desktop has reported; none where it cannot tell (then every capture may differ).
    // Equal to the one a capture answered with, that picture is still current.
    virtual std::optional<uint64_t> contentVersion(uint32_t windowID) {
        (void)windowID;
        return std::nullopt;
    }
};

} // namespace corvane
