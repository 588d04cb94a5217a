#include "clipboard/ClipItem.h"

#include "shelf/ShelfPath.h"

#include <QBuffer>
#include <QColorSpace>
#include <QCryptographicHash>
#include <QImageReader>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace corvane {

ClipItem ClipItem::makeText(QString text) {
    ClipItem item;
    item.kind = Kind::text;
    item.text = std::move(text);
    return item;
}

ClipItem ClipItem::makeLink(QUrl link) {
    ClipItem item;
    item.kind = Kind::link;
    item.link = std::move(link);
    return item;
}

namespace {

bool isPng(const QByteArray& data) {
    return data.startsWith("\x89PNG\r\n\x1a\n");
}

QByteArray encodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

// The pixels as they show, with no profile left to carry.
QImage inSrgb(const QImage& image) {
    if (!image.colorSpace().isValid() || image.colorSpace() == QColorSpace(QColorSpace::SRgb))
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32)
        .convertedToColorSpace(QColorSpace::SRgb);
}

// The pixels alone as PNG: a view of them carries none of the text the decoder kept beside them.
QByteArray encodePixels(const QImage& image) {
    QImage pixels(image.constBits(), image.width(), image.height(), image.bytesPerLine(), image.format());
    pixels.setColorTable(image.colorTable());
    return encodePng(pixels);
}

} // namespace

ClipItem ClipItem::makeImage(const QImage& decoded) {
    const QImage image = inSrgb(decoded);
    ClipItem item;
    item.kind = Kind::image;
    item.imageDigest = corvane::imageDigest(image);
    item.imageSize = image.size();
    item.imageData = encodePixels(image);
    return item;
}

std::optional<ClipItem> ClipItem::makeImageFromStoredData(QByteArray data) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    buffer.close();
    if (!reader.canRead() || !size.isValid())
        return std::nullopt;
    ClipItem item;
    item.kind = Kind::image;
    item.imageSize = size;
    item.imageData = std::move(data);
    return item;
}

QByteArray ClipItem::pixelDigest() const {
    return imageDigest.isEmpty() ? corvane::imageDigest(fullImage()) : imageDigest;
}

QImage ClipItem::previewImage(QSize size) const {
    if (kind != Kind::image || imageData.isEmpty() || size.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(imageData);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize full = reader.size().isValid() ? reader.size() : imageSize;
    if (full.isValid() && (full.width() > size.width() || full.height() > size.height()))
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    // A reader that cannot scale while decoding gives the whole picture.
    if (image.width() > size.width() || image.height() > size.height())
        image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage ClipItem::fullImage() const {
    if (kind != Kind::image)
        return {};
    return QImage::fromData(imageData);
}

QByteArray ClipItem::pngData() const {
    if (kind != Kind::image || isPng(imageData))
        return imageData;
    return encodePng(fullImage());
}

ClipItem ClipItem::makeFiles(FileList files) {
    ClipItem item;
    item.kind = Kind::files;
    item.files = std::move(files);
    item.files.squeeze();
    return item;
}

QString ClipItem::label() const {
    switch (kind) {
    case Kind::text:
        return QStringLiteral("Text");
    case Kind::link:
        return QStringLiteral("Link");
    case Kind::image:
        return QStringLiteral("Image");
    case Kind::files:
        return files.size() == 1 ? QStringLiteral("File")
                                 : QString::number(files.size()) + QStringLiteral(" Files");
    }
    return {};
}

QString ClipItem::searchText(qsizetype limit) const {
    const auto cut = [limit](const QString& whole) { return limit < 0 ? whole : whole.left(limit); };
    switch (kind) {
    case Kind::text:
        return cut(text);
    case Kind::link:
        return cut(link.toString(QUrl::FullyEncoded));
    case Kind::image:
        return QStringLiteral("image");
    case Kind::files: {
        QString names;
        files.forEach([&](QStringView path) {
            if (limit >= 0 && names.size() >= limit)
                return;
            if (!names.isEmpty())
                names.append(QLatin1Char(' '));
            names.append(shelfDisplayName(path.toString()));
        });
        return cut(names);
    }
    }
    return {};
}

bool ClipItem::sameContent(const ClipItem& other) const {
    if (kind != other.kind)
        return false;
    switch (kind) {
    case Kind::text:
        return text == other.text;
    case Kind::link:
        return link == other.link;
    case Kind::image:
        // Pixels, not only the size: two screenshots of one size are different pictures. Only
        // pictures of one size are ever decoded to be compared.
        return imageSize == other.imageSize && pixelDigest() == other.pixelDigest();
    case Kind::files:
        return files == other.files;
    }
    return false;
}

QByteArray imageDigest(const QImage& image) {
    if (image.isNull())
        return {};
    // An opaque picture is hashed a row at a time as its ARGB32 form would read: a converted copy
    // would cost the decoded picture a second time.
    const bool opaque = image.format() == QImage::Format_RGB32;
    const QImage pixels = opaque ? image : image.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const qint32 size[2] = {pixels.width(), pixels.height()};
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(size), sizeof size));
    const qsizetype rowBytes = static_cast<qsizetype>(pixels.width()) * 4;
    std::vector<QRgb> row(opaque ? size_t(pixels.width()) : 0);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        if (opaque) {
            std::transform(line, line + pixels.width(), row.begin(),
                           [](QRgb pixel) { return pixel | 0xff000000u; });
            line = row.data();
        }
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(line), rowBytes));
    }
    return hash.result();
}

} // namespace corvane
