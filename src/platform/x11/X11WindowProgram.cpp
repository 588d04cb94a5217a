#include "platform/x11/X11WindowProgram.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11PixelReader.h"

#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>

#include <cstdlib>
#include <cstring>
#include <variant>

namespace corvane {

namespace {

// WM_HINTS, as ICCCM lays it out: nine 32-bit fields.
constexpr uint32_t kIconPixmapHint = 1u << 2;
constexpr uint32_t kIconMaskHint = 1u << 5;
constexpr size_t kHintsFlags = 0;
constexpr size_t kHintsIconPixmap = 3;
constexpr size_t kHintsIconMask = 7;
// A bigger icon is not a picture anyone sends: the property would run to megabytes.
constexpr uint32_t kLargestIconSide = 1024;

// A depth-1 pixmap (a bitmap) as a one-bit picture; none when it cannot be read.
std::optional<QImage> readBitmap(xcb_connection_t* c, xcb_pixmap_t pixmap, int width, int height) {
    X11Reply<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_XY_PIXMAP, pixmap, 0, 0,
                                          static_cast<uint16_t>(width), static_cast<uint16_t>(height), 1),
                            nullptr));
    if (!reply)
        return std::nullopt;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int pad = setup->bitmap_format_scanline_pad;
    const int rowBytes = ((width + pad - 1) / pad) * pad / 8;
    if (xcb_get_image_data_length(reply.get()) < rowBytes * height)
        return std::nullopt;
    const uint8_t* data = xcb_get_image_data(reply.get());
    const bool lsbFirst = setup->bitmap_format_bit_order == XCB_IMAGE_ORDER_LSB_FIRST;
    QImage bits(width, height, QImage::Format_Mono);
    bits.fill(0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = data + static_cast<ptrdiff_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const uint8_t byte = row[x / 8];
            const bool set = lsbFirst ? (byte >> (x % 8)) & 1 : (byte >> (7 - x % 8)) & 1;
            if (set)
                bits.setPixel(x, y, 1);
        }
    }
    return bits;
}

struct PixmapSize {
    int width = 0;
    int height = 0;
    int depth = 0;
};

std::optional<PixmapSize> pixmapSize(xcb_connection_t* c, xcb_pixmap_t pixmap) {
    X11Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, pixmap), nullptr));
    if (!geometry || geometry->width == 0 || geometry->height == 0 || geometry->width > kLargestIconSide ||
        geometry->height > kLargestIconSide)
        return std::nullopt;
    return PixmapSize{geometry->width, geometry->height, geometry->depth};
}

} // namespace

X11WindowProgram::X11WindowProgram() = default;
X11WindowProgram::~X11WindowProgram() = default;

X11Connection* X11WindowProgram::connection() {
    if (!m_connection) {
        m_connection = std::make_unique<X11Connection>(QByteArray(), X11Atoms::none);
        if (m_connection->isValid()) {
            static const char name[] = "_NET_WM_ICON";
            X11Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
                m_connection->raw(), xcb_intern_atom(m_connection->raw(), 0, sizeof(name) - 1, name),
                nullptr));
            m_netWmIcon = atom ? atom->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        }
    }
    return m_connection->isValid() ? m_connection.get() : nullptr;
}

std::optional<QImage> X11WindowProgram::icon(uint32_t window, int side) {
    std::lock_guard lock(m_mutex);
    if (!window || !connection())
        return std::nullopt;
    if (std::optional<QImage> image = netIcon(window, side))
        return image;
    return hintsIcon(window);
}

// _NET_WM_ICON: pictures one after another, each its width, its height and then its pixels as
// 32-bit ARGB (not premultiplied), rows top to bottom.
std::optional<QImage> X11WindowProgram::netIcon(uint32_t window, int side) {
    if (m_netWmIcon == XCB_ATOM_NONE)
        return std::nullopt;
    const std::optional<X11Property> property =
        m_connection->property(window, m_netWmIcon, XCB_ATOM_CARDINAL, 4u * 1024 * 1024);
    if (!property || property->format != 32)
        return std::nullopt;
    const std::vector<uint32_t> values = property->values32();
    size_t best = values.size();
    uint32_t bestWidth = 0, bestHeight = 0;
    const auto score = [side](uint32_t w) {
        return std::abs(static_cast<int>(w) - side) * 2 - (static_cast<int>(w) >= side ? 1 : 0);
    };
    for (size_t at = 0; at + 2 <= values.size();) {
        const uint32_t w = values[at], h = values[at + 1];
        if (w == 0 || h == 0 || w > kLargestIconSide || h > kLargestIconSide ||
            values.size() - at - 2 < static_cast<size_t>(w) * h)
            break;
        if (best == values.size() || score(w) < score(bestWidth)) {
            best = at;
            bestWidth = w;
            bestHeight = h;
        }
        at += 2 + static_cast<size_t>(w) * h;
    }
    if (best == values.size())
        return std::nullopt;
    QImage image(static_cast<int>(bestWidth), static_cast<int>(bestHeight), QImage::Format_ARGB32);
    const uint32_t* pixels = values.data() + best + 2;
    for (uint32_t y = 0; y < bestHeight; ++y)
        std::memcpy(image.scanLine(static_cast<int>(y)), pixels + static_cast<size_t>(y) * bestWidth,
                    bestWidth * sizeof(uint32_t));
    return image;
}

// The WM_HINTS icon pixmap: a bitmap drawn black on white, or a picture of the screen's depth,
// either cut by the icon mask when there is one.
std::optional<QImage> X11WindowProgram::hintsIcon(uint32_t window) {
    const std::optional<X11Property> hints =
        m_connection->property(window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 9);
    if (!hints || hints->format != 32)
        return std::nullopt;
    const std::vector<uint32_t> fields = hints->values32();
    if (fields.size() <= kHintsIconMask || !(fields[kHintsFlags] & kIconPixmapHint) ||
        !fields[kHintsIconPixmap])
        return std::nullopt;
    xcb_connection_t* c = m_connection->raw();
    const xcb_pixmap_t pixmap = fields[kHintsIconPixmap];
    const std::optional<PixmapSize> size = pixmapSize(c, pixmap);
    if (!size)
        return std::nullopt;

    QImage image(size->width, size->height, QImage::Format_ARGB32_Premultiplied);
    if (size->depth == 1) {
        const std::optional<QImage> bits = readBitmap(c, pixmap, size->width, size->height);
        if (!bits)
            return std::nullopt;
        for (int y = 0; y < size->height; ++y)
            for (int x = 0; x < size->width; ++x)
                image.setPixel(x, y, bits->pixelIndex(x, y) ? 0xff000000u : 0xffffffffu);
    } else {
        X11PixelReader reader(c, X11PixelReader::Transfer::socket);
        std::variant<QImage, QString> read = reader.read(pixmap, QRect(0, 0, size->width, size->height));
        if (!std::holds_alternative<QImage>(read))
            return std::nullopt;
        image = opaquePixels(std::get<QImage>(std::move(read)))
                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    if ((fields[kHintsFlags] & kIconMaskHint) && fields[kHintsIconMask]) {
        const std::optional<PixmapSize> maskSize = pixmapSize(c, fields[kHintsIconMask]);
        if (maskSize && maskSize->depth == 1 && maskSize->width == size->width &&
            maskSize->height == size->height) {
            if (const std::optional<QImage> mask =
                    readBitmap(c, fields[kHintsIconMask], size->width, size->height)) {
                for (int y = 0; y < size->height; ++y)
                    for (int x = 0; x < size->width; ++x)
                        if (!mask->pixelIndex(x, y))
                            image.setPixel(x, y, 0);
            }
        }
    }
    return image;
}

std::optional<QString> X11WindowProgram::processExecutable(int32_t pid) {
    if (pid <= 0)
        return std::nullopt;
    const QString target = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    // A program replaced or removed since it started reads "<path> (deleted)" and runs no more.
    if (target.isEmpty() || !QFileInfo(target).isExecutable() || !QFileInfo(target).isFile())
        return std::nullopt;
    return target;
}

std::optional<QString> X11WindowProgram::programForCommand(const QString& word) {
    if (word.isEmpty())
        return std::nullopt;
    if (word.contains(u'/')) {
        const QFileInfo file(word);
        if (file.isAbsolute() && file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
        return std::nullopt;
    }
    const QString found = QStandardPaths::findExecutable(word);
    return found.isEmpty() ? std::nullopt : std::optional<QString>(found);
}

std::optional<QString> X11WindowProgram::executable(uint32_t window, int32_t pid) {
    // WM_COMMAND first: the command line a program sets so that it can be started again (xlogo
    // sets nothing else), where the process's executable may be an interpreter running a script.
    {
        std::lock_guard lock(m_mutex);
        if (window && connection()) {
            const std::optional<X11Property> command = m_connection->property(window, XCB_ATOM_WM_COMMAND);
            if (command && command->format == 8) {
                const std::vector<QByteArray> words = command->strings();
                if (!words.empty())
                    if (std::optional<QString> program =
                            programForCommand(QString::fromLocal8Bit(words.front())))
                        return program;
            }
        }
    }
    return processExecutable(pid);
}

} // namespace corvane
