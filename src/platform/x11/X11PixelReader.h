#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <xcb/xcb.h>

#include <cstddef>
#include <variant>

namespace corvane {

// The picture with every pixel opaque when it has no alpha channel (24-bit pixels, whose unused
// byte the server leaves as it likes).
QImage opaquePixels(QImage image);

// Reads pixels of a drawable back as a picture of its own. Through one shared memory segment
// (MIT-SHM) where the server offers it and runs on this machine, which spares sending every
// picture through the socket; otherwise, or when the segment fails, with a plain GetImage. The
// segment serves every read and grows when a larger picture needs it. Not thread-safe: its owner
// keeps it under the lock of the connection it reads on.
class X11PixelReader {
public:
    enum class Transfer {
        sharedMemoryWhereOffered,
        // Always through the socket, as with a remote server.
        socket,
    };

    X11PixelReader(xcb_connection_t* connection, Transfer transfer);
    ~X11PixelReader();
    X11PixelReader(const X11PixelReader&) = delete;
    X11PixelReader& operator=(const X11PixelReader&) = delete;

    // The pixels of `area`, 32 bits each: premultiplied with alpha for a 32-bit drawable, opaque
    // for a 24-bit one (whose unused byte the server leaves as it likes).
    std::variant<QImage, QString> read(xcb_drawable_t drawable, QRect area);

    // Whether reads go through the shared segment (false once it has failed).
    bool usesSharedMemory() const { return m_sharedMemory; }

private:
    std::variant<QImage, QString> readThroughSocket(xcb_drawable_t drawable, QRect area);
    // None (an empty picture) when the segment cannot serve this read.
    QImage readThroughSegment(xcb_drawable_t drawable, QRect area);
    bool ensureSegment(size_t bytes);
    void releaseSegment();

    xcb_connection_t* m_connection;
    bool m_sharedMemory = false;
    uint32_t m_segment = 0;
    void* m_address = nullptr;
    size_t m_size = 0;
};

} // namespace corvane
