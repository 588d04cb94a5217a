#pragma once

#include "platform/FileFacts.h"
#include "shelf/PdfPreview.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QUrl>

#include <optional>

namespace corvane {

// What the preview shows for one file, read once when it is shown.
struct PreviewContent {
    enum class Kind { loading, image, text, pdf, summary } kind = Kind::summary;
    QString name;
    QString path;
    QImage image;            // an image, or a PDF's first page
    QString text;            // the start of a text file
    QString kindDescription; // "PNG image", "plain text document", "pipe"
    std::optional<qint64> size;
    QDateTime modified;
    bool isDirectory = false;
    FileKind fileKind = FileKind::missing;
    // A PDF that could have been drawn, had the drawing helper been found.
    bool pdfHelperMissing = false;

    // The name alone, shown while the file is read.
    static PreviewContent placeholder(const QUrl& url);
    // Reads the file: its facts always, its content only when it is a regular file. Anything
    // else (a pipe, a socket, a device) is never opened and gets the summary, as does what
    // cannot be drawn. `pageSize` bounds the picture of an image or a PDF page; a PDF's page is
    // drawn by `pdf`, within its limits, in the drawing order `order` (PdfPreviewRenderer::render).
    // Reads the disk, so it runs on a worker: a slow disk delays only this preview.
    static PreviewContent load(const QUrl& url, const QSize& pageSize, const PdfPreviewRenderer& pdf,
                               quint64 order = 0);

    // How much of a text file is shown.
    static constexpr qint64 textLimit = 16 * 1024;
    // The largest image or PDF that is read to be drawn; a larger file shows its summary, read
    // from its first `textLimit` bytes. What drawing a PDF costs is bounded apart (PdfPreview.h).
    static constexpr qint64 readLimit = 64 * 1024 * 1024;
};

} // namespace corvane
