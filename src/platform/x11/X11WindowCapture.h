#pragma once

#include "platform/WindowCapture.h"
#include "runtime/WorkerQueue.h"

#include <QByteArray>

#include <chrono>
#include <memory>

namespace corvane {

// Window pictures through the Composite extension: a window is redirected to a pixmap of its
// own, which is named and read back. Redirects are made on one long-lived connection, since they
// end with the connection that made them, and stay while the window is listed. Requests run on
// the thread pool and take turns on the connection; the blocking forms may be called from any
// thread. Built on the main thread, where the pixel ratio is read.
class X11WindowCapture final : public WindowCapture {
public:
    // An empty display name means $DISPLAY.
    explicit X11WindowCapture(QByteArray displayName = {});
    ~X11WindowCapture() override;

    void loadShareableContent(ContentHandler done) override;
    void captureImage(uint32_t windowID, QSize pixelSize, ImageHandler done) override;

    // The same requests, answered on the calling thread.
    ContentAnswer listWindows();
    ImageAnswer capture(uint32_t windowID, QSize pixelSize);

    // A window that has just been redirected reads black where the program has not yet painted
    // again; its first capture waits this long after the redirect.
    static constexpr std::chrono::milliseconds settleTime{150};

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    ThreadPoolExecutor m_pool;
};

} // namespace corvane
