#include "platform/fake/FakeWindowCapture.h"

#include <algorithm>

namespace corvane {

void FakeWindowCapture::loadShareableContent(ContentHandler done) {
    ++listings;
    if (holdListings) {
        heldListings.push_back(std::move(done));
        return;
    }
    done(answer());
}

void FakeWindowCapture::captureImage(uint32_t windowID, QSize pixelSize, ImageHandler done) {
    ++captures;
    pending.push_back({windowID, pixelSize, std::move(done)});
}

void FakeWindowCapture::addWindow(uint32_t windowID, QRectF frame) {
    removeWindow(windowID);
    windows.push_back({windowID, frame});
}

void FakeWindowCapture::removeWindow(uint32_t windowID) {
    std::erase_if(windows, [&](const CapturableWindow& window) { return window.windowID == windowID; });
}

std::optional<FakeWindowCapture::Request> FakeWindowCapture::take(std::optional<uint32_t> windowID) {
    auto it = std::find_if(pending.begin(), pending.end(), [&](const Request& request) {
        return !windowID || request.windowID == *windowID;
    });
    if (it == pending.end())
        return std::nullopt;
    Request request = std::move(*it);
    pending.erase(it);
    return request;
}

bool FakeWindowCapture::succeed(std::optional<uint32_t> windowID, QColor color) {
    std::optional<Request> request = take(windowID);
    if (!request)
        return false;
    QImage image(request->pixelSize, QImage::Format_RGB32);
    image.fill(color);
    // The handler may start further captures; it runs after the request has left the list.
    request->done({image, {}, contentVersion(request->windowID)});
    return true;
}

bool FakeWindowCapture::fail(std::optional<uint32_t> windowID, const QString& error) {
    std::optional<Request> request = take(windowID);
    if (!request)
        return false;
    request->done({std::nullopt, error});
    return true;
}

int FakeWindowCapture::succeedAll() {
    int count = 0;
    while (succeed())
        ++count;
    return count;
}

int FakeWindowCapture::releaseListings() {
    int count = 0;
    while (!heldListings.empty()) {
        ContentHandler done = std::move(heldListings.front());
        heldListings.pop_front();
        done(answer());
        ++count;
    }
    return count;
}

std::vector<uint32_t> FakeWindowCapture::pendingIDs() const {
    std::vector<uint32_t> ids;
    for (const Request& request : pending)
        ids.push_back(request.windowID);
    return ids;
}

ContentAnswer FakeWindowCapture::answer() const {
    if (contentError)
        return {std::nullopt, *contentError};
    return {ShareableContent{windows}, {}};
}

} // namespace corvane
