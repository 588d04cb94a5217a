#include "shelf/PreviewContent.h"

#include "shelf/ShelfPath.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeDatabase>
#include <QStringDecoder>

namespace corvane {

namespace {

QString specialKindName(FileKind kind) {
    switch (kind) {
    case FileKind::fifo:
        return QStringLiteral("inode/fifo");
    case FileKind::socket:
        return QStringLiteral("inode/socket");
    case FileKind::characterDevice:
        return QStringLiteral("inode/chardevice");
    case FileKind::blockDevice:
        return QStringLiteral("inode/blockdevice");
    default:
        return QString();
    }
}

QImage readImage(QByteArray& bytes, const QSize& bound) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    // A photograph far larger than the panel is decoded at a size the panel can show.
    const QSize full = reader.size();
    const QSize most = bound * 2;
    if (full.isValid() && (full.width() > most.width() || full.height() > most.height()))
        reader.setScaledSize(full.scaled(most, Qt::KeepAspectRatio));
    return reader.read();
}

} // namespace

PreviewContent PreviewContent::placeholder(const QUrl& url) {
    PreviewContent content;
    content.kind = Kind::loading;
    content.path = url.toLocalFile();
    content.name = shelfDisplayName(content.path);
    return content;
}

PreviewContent PreviewContent::load(const QUrl& url, const QSize& pageSize, const PdfPreviewRenderer& pdf,
                                    quint64 order) {
    PreviewContent content = placeholder(url);
    content.kind = Kind::summary;
    const FileFacts facts = fileFacts(content.path);
    content.fileKind = facts.kind;
    content.isDirectory = facts.kind == FileKind::directory;
    if (facts.modifiedMs)
        content.modified = QDateTime::fromMSecsSinceEpoch(*facts.modifiedMs);
    const QMimeDatabase types;
    switch (facts.kind) {
    case FileKind::missing:
        return content;
    case FileKind::directory:
        content.kindDescription = QStringLiteral("Folder");
        return content;
    case FileKind::regular:
        break;
    default:
        // Named by what it is, never opened.
        content.kindDescription = types.mimeTypeForName(specialKindName(facts.kind)).comment();
        if (content.kindDescription.isEmpty())
            content.kindDescription = QStringLiteral("Special file");
        return content;
    }

    content.size = facts.size;
    const bool drawable = facts.size <= readLimit;
    std::optional<QByteArray> bytes = readRegularFile(content.path, drawable ? readLimit : textLimit);
    if (!bytes) {
        content.kindDescription =
            types.mimeTypeForFile(content.path, QMimeDatabase::MatchExtension).comment();
        return content;
    }
    const QMimeType type = types.mimeTypeForFileNameAndData(content.path, *bytes);
    content.kindDescription = type.comment();
    if (drawable && type.inherits(QStringLiteral("application/pdf"))) {
        content.pdfHelperMissing = !pdf.hasHelper();
        // A few kilobytes may inflate to gigabytes when drawn: that happens apart, bounded.
        content.image = pdf.render(content.path, pageSize, order);
        if (!content.image.isNull())
            content.kind = Kind::pdf;
        return content;
    }
    if (drawable && type.name().startsWith(QLatin1String("image/"))) {
        content.image = readImage(*bytes, pageSize);
        if (!content.image.isNull()) {
            content.kind = Kind::image;
            return content;
        }
    }
    if (type.inherits(QStringLiteral("text/plain"))) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        content.text =
            decoder.decode(QByteArrayView(*bytes).first(std::min<qsizetype>(bytes->size(), textLimit)));
        content.kind = Kind::text;
    }
    return content;
}

} // namespace corvane
