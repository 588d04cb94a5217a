#pragma once

#include "platform/WindowCapture.h"

#include <QColor>

#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace corvane {

// Window captures that finish when the test says so. Listings answer at once from `windows`
// (or fail with `contentError`) unless `holdListings` keeps them pending; captures always wait
// in `pending` until the test completes them, in any order.
class FakeWindowCapture final : public WindowCapture {
public:
    struct Request {
        uint32_t windowID = 0;
        QSize pixelSize;
        ImageHandler done;
    };

    void loadShareableContent(ContentHandler done) override;
    void captureImage(uint32_t windowID, QSize pixelSize, ImageHandler done) override;
    std::optional<uint64_t> contentVersion(uint32_t windowID) override {
        const auto found = versions.find(windowID);
        return found == versions.end() ? std::nullopt : std::optional(found->second);
    }

    // Adds (or moves) a capturable window.
    void addWindow(uint32_t windowID, QRectF frame);
    void removeWindow(uint32_t windowID);

    // Completes the oldest pending capture of the window (of any window when none is named) with
    // a picture of the requested size filled with `color`. False when nothing matched.
    bool succeed(std::optional<uint32_t> windowID = std::nullopt, QColor color = Qt::darkCyan);
    bool fail(std::optional<uint32_t> windowID = std::nullopt, const QString& error = QStringLiteral("gone"));
    // Completes every pending capture with a picture, including those that start meanwhile.
    int succeedAll();
    // Answers the held listings from the current `windows`.
    int releaseListings();

    std::vector<uint32_t> pendingIDs() const;

    std::vector<CapturableWindow> windows;
    std::optional<QString> contentError;
    // The content version of each window that has one.
    std::map<uint32_t, uint64_t> versions;
    bool holdListings = false;

    std::deque<Request> pending;
    std::deque<ContentHandler> heldListings;
    int listings = 0; // listings asked for
    int captures = 0; // captures asked for

private:
    std::optional<Request> take(std::optional<uint32_t> windowID);
    ContentAnswer answer() const;
};

} // namespace corvane
