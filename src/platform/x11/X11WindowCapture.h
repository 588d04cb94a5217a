#pragma once

#include "platform/WindowCapture.h"
#include "runtime/WorkerQueue.h"

#include <QByteArray>

#include <chrono>
#include <memory>

namespace corvane {

// Window pictures through the Composite extension: a window is redirected to a pixmap of its
// own, which is named, scaled on the server (RENDER) to the size asked for, and read back through
// shared memory (MIT-SHM) where the server is local. Without RENDER the pixmap is read at full
// size and scaled here. Redirects are made on one long-lived connection, since they end with the
// connection that made them, and stay while the window is listed, as does a watch on the damage
// of a window captured (the server reports a change once, until it is taken in). Requests run in
// turn on one
// worker thread: they would only take turns on the connection anyway. The blocking forms may be
// called from any thread. Built on the main thread, where the pixel ratio is read.
class X11WindowCapture final : public WindowCapture {
public:
    // How pictures travel; tests pick the slower paths to compare their pictures with the fast one.
    struct Options {
        // Read through a shared memory segment where the server offers one (false: the socket).
        bool sharedMemory = true;
        // Scale on the server where it has RENDER (false: read at full size, scale here).
        bool serverScaling = true;
    };

    // An empty display name means $DISPLAY.
    explicit X11WindowCapture(QByteArray displayName = {})
        : X11WindowCapture(std::move(displayName), Options{}) {}
    X11WindowCapture(QByteArray displayName, Options options);
    ~X11WindowCapture() override;

    void loadShareableContent(ContentHandler done) override;
    void captureImage(uint32_t windowID, QSize pixelSize, ImageHandler done) override;
    // Counted from the server's damage reports for each redirected window.
    std::optional<uint64_t> contentVersion(uint32_t windowID) override;

    // The same requests, answered on the calling thread.
    ContentAnswer listWindows();
    ImageAnswer capture(uint32_t windowID, QSize pixelSize);
    // Whether the connection now open (none before the first request) scales on the server, and
    // reads through shared memory.
    bool scalesOnServer() const;
    bool readsThroughSharedMemory() const;

    // A window that has just been redirected reads black where the program has not yet painted
    // again; its first capture waits this long after the redirect.
    static constexpr std::chrono::milliseconds settleTime{150};

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    // Last, so that it finishes the requests it holds before the rest goes.
    SerialWorkerQueue m_worker;
};

} // namespace corvane
