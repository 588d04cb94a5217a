#include "clipboard/ClipItem.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QStringList>

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

ClipItem ClipItem::makeImage(QImage image) {
    ClipItem item;
    item.kind = Kind::image;
    item.imageDigest = corvane::imageDigest(image);
    item.image = std::move(image);
    return item;
}

ClipItem ClipItem::makeFiles(QList<QUrl> files) {
    ClipItem item;
    item.kind = Kind::files;
    item.files = std::move(files);
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

QString ClipItem::searchText() const {
    switch (kind) {
    case Kind::text:
        return text;
    case Kind::link:
        return link.toString(QUrl::FullyEncoded);
    case Kind::image:
        return QStringLiteral("image");
    case Kind::files: {
        QStringList names;
        for (const QUrl& url : files)
            names.append(QFileInfo(url.path()).fileName());
        return names.join(QLatin1Char(' '));
    }
    }
    return {};
}

QImage ClipItem::previewImage(QSize size) const {
    if (image.isNull() || (image.width() <= size.width() && image.height() <= size.height()))
        return image;
    return image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage ClipItem::fullImage() const {
    return image;
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
        // Pixels, not only the size: two screenshots of one size are different pictures.
        return imageDigest == other.imageDigest;
    case Kind::files:
        return files == other.files;
    }
    return false;
}

QByteArray imageDigest(const QImage& image) {
    if (image.isNull())
        return {};
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const qint32 size[2] = {pixels.width(), pixels.height()};
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(size), sizeof size));
    const qsizetype rowBytes = static_cast<qsizetype>(pixels.width()) * 4;
    for (int y = 0; y < pixels.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(pixels.constScanLine(y)), rowBytes));
    return hash.result();
}

} // namespace corvane
