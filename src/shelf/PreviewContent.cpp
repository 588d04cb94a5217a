#include "shelf/PreviewContent.h"

#include "shelf/ShelfPath.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPdfDocument>
#include <QStringDecoder>

namespace corvane {

namespace {

bool isText(const QMimeType& type) {
    return type.inherits(QStringLiteral("text/plain"));
}

QString readTextStart(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(PreviewContent::textLimit);
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

QImage firstPdfPage(const QString& path, const QSize& bound) {
    QPdfDocument document;
    if (document.load(path) != QPdfDocument::Error::None || document.pageCount() < 1)
        return {};
    const QSizeF points = document.pagePointSize(0);
    if (points.isEmpty())
        return {};
    const QSize size = points.scaled(QSizeF(bound), Qt::KeepAspectRatio).toSize();
    return document.render(0, size);
}

} // namespace

PreviewContent PreviewContent::load(const QUrl& url, const QSize& pageSize) {
    PreviewContent content;
    content.path = url.toLocalFile();
    content.name = shelfDisplayName(content.path);
    const QFileInfo info(content.path);
    content.isDirectory = info.isDir();
    content.modified = info.lastModified();
    if (info.isFile())
        content.size = info.size();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    content.kindDescription = content.isDirectory ? QStringLiteral("Folder") : type.comment();
    if (content.isDirectory || !info.isReadable())
        return content;

    if (type.name() == QLatin1String("application/pdf")) {
        content.image = firstPdfPage(content.path, pageSize);
        if (!content.image.isNull())
            content.kind = Kind::pdf;
        return content;
    }
    QImageReader reader(content.path);
    reader.setAutoTransform(true);
    if (reader.canRead()) {
        content.image = reader.read();
        if (!content.image.isNull()) {
            content.kind = Kind::image;
            return content;
        }
    }
    if (isText(type)) {
        content.text = readTextStart(content.path);
        content.kind = Kind::text;
    }
    return content;
}

} // namespace corvane
