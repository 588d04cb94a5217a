#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QUrl>

#include <optional>

namespace corvane {

// What the preview shows for one file, read once when it is shown.
struct PreviewContent {
    enum class Kind { image, text, pdf, summary } kind = Kind::summary;
    QString name;
    QString path;
    QImage image;            // an image, or a PDF's first page
    QString text;            // the start of a text file
    QString kindDescription; // "PNG image", "plain text document"
    std::optional<qint64> size;
    QDateTime modified;
    bool isDirectory = false;

    // Reads the file; anything that cannot be drawn itself gets the summary. `pageSize` bounds
    // the image of a PDF page.
    static PreviewContent load(const QUrl& url, const QSize& pageSize);
    // How much of a text file is shown.
    static constexpr qint64 textLimit = 16 * 1024;
};

} // namespace corvane
