#include "platform/x11/X11PixelReader.h"

#include "platform/x11/X11Connection.h"

#include <xcb/shm.h>

#include <QSysInfo>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace corvane {

namespace {

QString describe(const char* text) {
    return QString::fromLatin1(text);
}

std::optional<QImage::Format> imageFormat(xcb_connection_t* c, uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != (QSysInfo::ByteOrder == QSysInfo::LittleEndian
                                        ? XCB_IMAGE_ORDER_LSB_FIRST
                                        : XCB_IMAGE_ORDER_MSB_FIRST))
        return std::nullopt;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth != depth)
            continue;
        if (formats.data->bits_per_pixel != 32)
            return std::nullopt;
        if (depth == 24)
            return QImage::Format_RGB32;
        if (depth == 32)
            return QImage::Format_ARGB32_Premultiplied;
        return std::nullopt;
    }
    return std::nullopt;
}

// A segment only means the same memory to a server on this machine, which a Unix socket implies.
// (Attaching by id to a remote server could even name some other segment of its host.)
bool isLocal(xcb_connection_t* c) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (::getsockname(xcb_get_file_descriptor(c), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return false;
    return address.ss_family == AF_UNIX;
}

bool offersSharedMemory(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shm_id);
    if (!extension || !extension->present || !isLocal(c))
        return false;
    X11Reply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr));
    return version != nullptr;
}

} // namespace

QImage opaquePixels(QImage image) {
    if (image.format() != QImage::Format_RGB32)
        return image;
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        auto* pixels = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            pixels[x] |= 0xff000000u;
    }
    return image;
}

X11PixelReader::X11PixelReader(xcb_connection_t* connection, Transfer transfer)
    : m_connection(connection),
      m_sharedMemory(transfer == Transfer::sharedMemoryWhereOffered && offersSharedMemory(connection)) {}

X11PixelReader::~X11PixelReader() {
    releaseSegment();
}

std::variant<QImage, QString> X11PixelReader::read(xcb_drawable_t drawable, QRect area) {
    if (area.isEmpty())
        return describe("Empty picture size");
    if (m_sharedMemory) {
        QImage image = readThroughSegment(drawable, area);
        if (!image.isNull())
            return opaquePixels(std::move(image));
    }
    return readThroughSocket(drawable, area);
}

std::variant<QImage, QString> X11PixelReader::readThroughSocket(xcb_drawable_t drawable, QRect area) {
    xcb_connection_t* c = m_connection;
    X11Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, static_cast<int16_t>(area.x()),
                      static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
                      static_cast<uint16_t>(area.height()), ~0u),
        nullptr));
    if (!reply)
        return describe("The window's pixels could not be read");
    const std::optional<QImage::Format> format = imageFormat(c, reply->depth);
    if (!format)
        return describe("Unsupported pixel format");
    const size_t rowBytes = static_cast<size_t>(area.width()) * 4;
    if (static_cast<size_t>(xcb_get_image_data_length(reply.get())) <
        rowBytes * static_cast<size_t>(area.height()))
        return describe("The window's pixels came back short");
    // The picture reads the reply's own buffer, which it frees when it goes: no copy.
    xcb_get_image_reply_t* owned = reply.release();
    return opaquePixels(QImage(
        xcb_get_image_data(owned), area.width(), area.height(), static_cast<qsizetype>(rowBytes), *format,
        [](void* buffer) { std::free(buffer); }, owned));
}

QImage X11PixelReader::readThroughSegment(xcb_drawable_t drawable, QRect area) {
    xcb_connection_t* c = m_connection;
    const size_t rowBytes = static_cast<size_t>(area.width()) * 4;
    const size_t bytes = rowBytes * static_cast<size_t>(area.height());
    if (!ensureSegment(bytes))
        return {};
    xcb_generic_error_t* error = nullptr;
    X11Reply<xcb_shm_get_image_reply_t> reply(xcb_shm_get_image_reply(
        c,
        xcb_shm_get_image(c, drawable, static_cast<int16_t>(area.x()), static_cast<int16_t>(area.y()),
                          static_cast<uint16_t>(area.width()), static_cast<uint16_t>(area.height()), ~0u,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, m_segment, 0),
        &error));
    // A window gone or unmapped fails the socket's read as well; any other error is the segment's.
    const bool segmentFailed = error && error->error_code != XCB_DRAWABLE && error->error_code != XCB_MATCH;
    std::free(error);
    if (segmentFailed) {
        // The segment itself is at fault: the socket serves from now on.
        releaseSegment();
        m_sharedMemory = false;
        return {};
    }
    if (!reply)
        return {};
    const std::optional<QImage::Format> format = imageFormat(c, reply->depth);
    if (!format || reply->size < bytes)
        return {};
    // The segment serves the next read too: the picture takes a copy.
    return QImage(static_cast<const uchar*>(m_address), area.width(), area.height(),
                  static_cast<qsizetype>(rowBytes), *format)
        .copy();
}

bool X11PixelReader::ensureSegment(size_t bytes) {
    if (m_address && m_size >= bytes)
        return true;
    releaseSegment();
    // Grown in whole steps, so that pictures a little larger in turn do not each make a new one.
    constexpr size_t step = 256 * 1024;
    const size_t size = (bytes + step - 1) / step * step;
    const int id = ::shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id < 0) {
        m_sharedMemory = false;
        return false;
    }
    void* address = ::shmat(id, nullptr, SHM_RDONLY);
    if (address == reinterpret_cast<void*>(-1)) {
        ::shmctl(id, IPC_RMID, nullptr);
        m_sharedMemory = false;
        return false;
    }
    const uint32_t segment = xcb_generate_id(m_connection);
    X11Reply<xcb_generic_error_t> error(
        xcb_request_check(m_connection, xcb_shm_attach_checked(m_connection, segment, id, 0)));
    // Marked for removal now that both sides hold it: it goes when both let go, crash or not.
    ::shmctl(id, IPC_RMID, nullptr);
    if (error) {
        ::shmdt(address);
        m_sharedMemory = false;
        return false;
    }
    m_segment = segment;
    m_address = address;
    m_size = size;
    return true;
}

void X11PixelReader::releaseSegment() {
    if (!m_address)
        return;
    xcb_shm_detach(m_connection, m_segment);
    xcb_flush(m_connection);
    ::shmdt(m_address);
    m_address = nullptr;
    m_segment = 0;
    m_size = 0;
}

} // namespace corvane
